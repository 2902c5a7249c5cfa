#include "support/ctl_text_format.h"

#include "support/control_files.h"
#include "support/exceptions.h"
#include "support/file_io.h"
#include "support/number_text.h"
#include "support/runtime_errors.h"
#include "support/string_utils.h"

#include <charconv>
#include <cmath>
#include <memory>

namespace ControlFiles2 {

using MyServis::EWarning;

namespace {

constexpr const char* LineEnd = "\r\n";
constexpr std::size_t ListLineLimit = 75;

// Lines end at LF, CR LF or a lone CR.
class TLineReader {
public:
  explicit TLineReader(const std::string& bytes) : bytes_(bytes) {}

  bool Next(std::string_view& line) {
    if (position_ >= bytes_.size()) return false;
    std::size_t end = bytes_.find_first_of("\r\n", position_);
    if (end == std::string::npos) end = bytes_.size();
    line = std::string_view(bytes_).substr(position_, end - position_);
    position_ = end;
    if (position_ < bytes_.size() && bytes_[position_++] == '\r' && position_ < bytes_.size() &&
        bytes_[position_] == '\n')
      ++position_;
    return true;
  }

private:
  const std::string& bytes_;
  std::size_t position_ = 0;
};

bool StartsWithText(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && MyServis::SameText(text.substr(0, prefix.size()), prefix);
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

std::size_t SkipDigits(std::string_view text, std::size_t i) {
  while (i < text.size() && IsDigit(text[i]))
    ++i;
  return i;
}

std::string TrimLeft(std::string_view text) {
  while (!text.empty() && static_cast<unsigned char>(text.front()) <= 32)
    text.remove_prefix(1);
  return std::string(text);
}

bool HasFolder(const std::string& fileName) {
  return fileName.find_first_of("/\\") != std::string::npos;
}

std::string ListItemText(const std::string& item) {
  // An item holding the separator is quoted, or it would read back as two.
  return MyServis::Quote(item, item.find(',') != std::string::npos, '"');
}

std::vector<std::string> ReadListItems(std::string collected, TLineReader& reader) {
  std::string_view next;
  while (collected.back() != ')' && reader.Next(next))
    collected += MyServis::TrimBlanks(next);
  std::string inner = collected.size() >= 2 ? collected.substr(1, collected.size() - 2) : "";
  std::vector<std::string> items;
  for (const std::string& piece : MyServis::SplitQuoted(",", inner, '"'))
    items.push_back(MyServis::Unquote(MyServis::TrimBlanks(piece), '"'));
  return items;
}

TNamedValue* ReadKey(const std::string& name, const std::string& value, const std::string& path,
                     TLineReader& reader) {
  std::string fullPath = path + "\\" + UpperCase(name);
  if (MyServis::SameText(value, "ON") || MyServis::SameText(value, "OFF")) {
    auto* key = static_cast<TBoolValue*>(NewKey(TKeyClass::kcBool, name, fullPath));
    key->Set(MyServis::SameText(value, "ON"));
    return key;
  }
  if (IsIntegerText(value)) {
    std::int32_t number = 0;
    MyServis::TryParseInt32(TrimLeft(value), number);
    auto* key = static_cast<TIntValue*>(NewKey(TKeyClass::kcInt, name, fullPath));
    key->Value = number;
    return key;
  }
  if (IsFloatText(value)) {
    double number = ParseFloatText(value);
    auto* key = static_cast<TFloatValue*>(NewKey(TKeyClass::kcFloat, name, fullPath));
    key->Value = number;
    return key;
  }
  if (!value.empty() && value.front() == '(') {
    auto* key = static_cast<TStringListValue*>(NewKey(TKeyClass::kcStringList, name, fullPath));
    key->Items = ReadListItems(value, reader);
    return key;
  }
  auto* key = static_cast<TStringValue*>(NewKey(TKeyClass::kcString, name, fullPath));
  key->Value = MyServis::Unquote(value, '"');
  return key;
}

// depth: the nesting level of the section being read, 0 for the file itself.
void ReadTextSection(TLineReader& reader, TCtlNode& node, const std::string& path,
                     const std::string& fileName, int depth) {
  int lineNumber = 0;
  std::string_view raw;
  while (reader.Next(raw)) {
    ++lineNumber;
    std::string line = MyServis::TrimBlanks(raw);
    if (line.empty() || line[0] == '#' || line[0] == ';') {
      AddEntry(node, new TCommentLine(line));
      continue;
    }
    std::size_t cut = line.find_first_of(" \t");
    std::string name = line.substr(0, cut);
    std::string value = cut == std::string::npos ? "" : TrimLeft(line.substr(cut + 1));
    if (MyServis::SameText(name, "$ENDOFSECTION")) return;
    if (StartsWithText(name, "$SECTION")) {
      std::string where = fileName + " line: " + std::to_string(lineNumber);
      if (value.empty()) throw EWarning("CTL2: unnamed section in " + where);
      if (depth >= MaxSectionDepth)
        throw EWarning("CTL2: sections nested more than 256 levels deep in " + where);
      std::string sectionPath = path + "\\" + UpperCase(value);
      TCtlNode* child = AddEntry(node, new TSection(value, sectionPath));
      ReadTextSection(reader, *child, sectionPath, fileName, depth + 1);
      continue;
    }
    if (StartsWithText(name, "$INCLUDE")) {
      auto include = std::make_unique<TInclude>(value);
      include->Handle = LoadControlFile(
          HasFolder(value) ? value : MyServis::FolderOfPath(fileName) + "/" + value, "");
      AddEntry(node, include.release());
      continue;
    }
    AddEntry(node, ReadKey(name, value, path, reader));
  }
}

std::string KeyColumn(const std::string& indent, const std::string& name) {
  std::string column = indent + name + "    ";
  column.append((8 - column.size() % 8) % 8, ' ');
  return column;
}

// Items on tab stops, continuation lines under the first item, a line written
// as soon as it passes the limit.
void WriteList(std::string line, const std::vector<std::string>& items, std::string& out) {
  line += '(';
  if (items.empty()) line += ')';
  const std::string continuation(line.size(), ' ');
  for (std::size_t i = 0; i < items.size(); ++i) {
    while (line.size() % 8 != 1)
      line += ' ';
    line += ListItemText(items[i]);
    line += i + 1 < items.size() ? ',' : ')';
    if (line.size() > ListLineLimit) {
      out += line + LineEnd;
      line = continuation;
    }
  }
  if (line.size() <= ListLineLimit && line != continuation) out += line + LineEnd;
}

void WriteTextSection(TCtlNode& node, const std::string& fileName, int indentWidth,
                      std::string& out) {
  const std::string indent(static_cast<std::size_t>(indentWidth), ' ');
  for (std::int32_t i = 0; i < node.ChildCount(); ++i) {
    TCtlNode& child = *node.Child(i);
    TCtlEntry* entry = child.Data;
    if (auto* comment = dynamic_cast<TCommentLine*>(entry)) {
      out += indent + comment->Text + LineEnd;
    } else if (auto* include = dynamic_cast<TInclude*>(entry)) {
      out += indent + "$Include " + include->FileName + LineEnd;
      SaveIncludedFile(include->Handle, fileName);
    } else if (auto* section = dynamic_cast<TSection*>(entry)) {
      out += indent + "$Section " + section->Name + LineEnd;
      WriteTextSection(child, fileName, indentWidth + 2, out);
      out += indent + "$EndOfSection" + LineEnd;
    } else if (auto* list = dynamic_cast<TStringListValue*>(entry)) {
      WriteList(KeyColumn(indent, list->Name), list->Items, out);
    } else if (auto* key = dynamic_cast<TNamedValue*>(entry)) {
      out += KeyColumn(indent, key->Name) + KeyValueText(*key) + LineEnd;
    }
  }
}

} // namespace

void ReadTextFile(const std::string& fileName, const std::string& bytes, TCtlNode& fileNode) {
  TLineReader reader(bytes);
  auto* file = static_cast<TNamedValue*>(fileNode.Data);
  ReadTextSection(reader, fileNode, file->FullPath, fileName, 0);
}

void WriteTextFile(TCtlNode& fileNode, const std::string& fileName) {
  std::string out;
  WriteTextSection(fileNode, fileName, 0, out);
  MyServis::WriteFileAtomically(fileName, out);
}

bool IsIntegerText(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && text[i] == ' ')
    ++i;
  bool negative = i < text.size() && text[i] == '-';
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  std::size_t digits = text.size() - i;
  if (digits < 1 || digits > 10 || SkipDigits(text, i) != text.size()) return false;
  if (digits < 10 || text[i] < '2') return true;
  if (text[i] > '2') return false;
  std::int64_t magnitude = 0;
  for (; i < text.size(); ++i)
    magnitude = magnitude * 10 + (text[i] - '0');
  return negative ? magnitude <= 2147483648LL : magnitude <= 2147483647LL;
}

bool IsFloatText(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && text[i] == ' ')
    ++i;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  std::size_t end = SkipDigits(text, i);
  if (end == i) return false;
  i = end;
  if (i < text.size() && text[i] == '.') {
    end = SkipDigits(text, i + 1);
    if (end == i + 1) return false;
    i = end;
  }
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    end = SkipDigits(text, i);
    if (end == i) return false;
    i = end;
  }
  return i == text.size();
}

// Values too small for a double become the nearest one (zero at worst); values
// too large fail.
double ParseFloatText(const std::string& value) {
  std::string text = TrimLeft(value);
  if (!text.empty() && text[0] == '+') text.erase(0, 1);
  const char* end = text.data() + text.size();
  double number = 0;
  if (std::from_chars(text.data(), end, number).ec == std::errc()) return number;
  long double wide = 0;
  if (std::from_chars(text.data(), end, wide).ec == std::errc() &&
      std::isfinite(static_cast<double>(wide)))
    return static_cast<double>(wide);
  throw MyServis::EConvertError("'" + value + "' is not a valid floating point value");
}

// Built with to_chars, which no locale can change.
std::string FloatText(double value) {
  char text[64];
  std::string shortest(text, std::to_chars(text, text + sizeof text, value).ptr);
  if (!std::isfinite(value)) return shortest;
  std::size_t exponent = shortest.find('e');
  if (exponent != std::string::npos)
    shortest[exponent] = 'E';
  else if (shortest.find('.') == std::string::npos)
    shortest += ".0";
  return shortest;
}

std::string KeyValueText(const TNamedValue& key) {
  if (auto* flag = dynamic_cast<const TBoolValue*>(&key)) return flag->Get() ? "ON" : "OFF";
  if (auto* number = dynamic_cast<const TIntValue*>(&key)) return std::to_string(number->Value);
  if (auto* real = dynamic_cast<const TFloatValue*>(&key)) return FloatText(real->Value);
  if (auto* text = dynamic_cast<const TStringValue*>(&key)) return '"' + text->Value + '"';
  if (auto* list = dynamic_cast<const TStringListValue*>(&key)) {
    std::string line = "(";
    for (std::size_t i = 0; i < list->Items.size(); ++i)
      line += (i > 0 ? "," : "") + ListItemText(list->Items[i]);
    return line + ")";
  }
  return "";
}

} // namespace ControlFiles2
