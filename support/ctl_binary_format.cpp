#include "support/ctl_binary_format.h"

#include "support/control_files.h"
#include "support/crypto.h"
#include "support/exceptions.h"
#include "support/file_io.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>

namespace ControlFiles2 {

using MyServis::EError;
using MyServis::EWarning;

namespace {

constexpr std::size_t HeaderSize = 32;
constexpr std::uint32_t HeaderMark = 28301740;
constexpr std::size_t MaxChunkString = 65535;
// A type byte and a string's two length bytes.
constexpr std::size_t MinChunkSize = 3;

// A body deciphered with the wrong key reads as random counts: every count is
// checked against the bytes left, so that such a body fails instead of reading
// as an empty file that a save would then write back.
[[noreturn]] void WrongPasswordOrDamaged() {
  throw EError("Wrong password or damaged file");
}

enum : std::uint8_t {
  ctComment = 1,
  ctInclude = 2,
  ctSection = 3,
  ctBool = 10,
  ctInt = 11,
  ctFloat = 12,
  ctString = 13,
  ctStringList = 14
};

std::uint32_t WordAt(std::string_view bytes, std::size_t at) {
  std::uint32_t word = 0;
  for (int k = 3; k >= 0; --k)
    word = word << 8 | static_cast<unsigned char>(bytes[at + k]);
  return word;
}

void PutWord(std::string& out, std::size_t at, std::uint32_t word) {
  for (int k = 0; k < 4; ++k)
    out[at + k] = static_cast<char>(word >> (8 * k));
}

std::string KeyText(std::uint32_t keyNumber, std::int32_t passwordNumber) {
  return std::to_string(
      static_cast<std::int32_t>(keyNumber + static_cast<std::uint32_t>(passwordNumber)));
}

// Every read is checked against the end of the deciphered body.
class TBodyReader {
public:
  explicit TBodyReader(std::string_view body) : body_(body) {}

  std::size_t Left() const { return body_.size() - position_; }

  std::string_view Take(std::size_t count) {
    if (count > Left()) throw EError("Chunk data ends before its chunks do");
    std::string_view bytes = body_.substr(position_, count);
    position_ += count;
    return bytes;
  }

  std::uint8_t Byte() { return static_cast<std::uint8_t>(Take(1)[0]); }

  // A count of items that the bytes left can hold, each taking at least itemSize.
  std::int32_t Count(std::size_t itemSize) {
    std::int32_t count = Int32();
    if (count < 0 || static_cast<std::size_t>(count) > Left() / itemSize) WrongPasswordOrDamaged();
    return count;
  }

  std::int32_t Int32() { return static_cast<std::int32_t>(WordAt(Take(4), 0)); }

  double Double() {
    std::string_view bytes = Take(8);
    std::uint64_t bits = static_cast<std::uint64_t>(WordAt(bytes, 4)) << 32 | WordAt(bytes, 0);
    double value = 0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
  }

  std::string String() {
    std::string_view length = Take(2);
    std::size_t count = static_cast<unsigned char>(length[0]) |
                        static_cast<std::size_t>(static_cast<unsigned char>(length[1])) << 8;
    return std::string(Take(count));
  }

private:
  std::string_view body_;
  std::size_t position_ = 0;
};

class TBodyWriter {
public:
  void Byte(std::uint8_t value) { Out += static_cast<char>(value); }

  void Int32(std::int32_t value) {
    for (int k = 0; k < 4; ++k)
      Out += static_cast<char>(static_cast<std::uint32_t>(value) >> (8 * k));
  }

  void Double(double value) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    for (int k = 0; k < 8; ++k)
      Out += static_cast<char>(bits >> (8 * k));
  }

  // Longer strings do not fit the length field; cutting them would lose data.
  void String(const std::string& text) {
    if (text.size() > MaxChunkString)
      throw EWarning("CTL2: a string of " + std::to_string(text.size()) +
                     " bytes is too long for the binary form");
    Byte(static_cast<std::uint8_t>(text.size() & 0xFF));
    Byte(static_cast<std::uint8_t>(text.size() >> 8));
    Out += text;
  }

  std::string Out;
};

template <class T>
std::unique_ptr<T> MakeKey(TKeyClass keyClass, const std::string& name, const std::string& path) {
  return std::unique_ptr<T>(static_cast<T*>(NewKey(keyClass, name, path + "\\" + UpperCase(name))));
}

// The key is built whole before it joins the tree; a truncated one is dropped.
TNamedValue* ReadKey(std::uint8_t type, const std::string& path, TBodyReader& reader) {
  std::string name = reader.String();
  switch (type) {
  case ctBool: {
    auto key = MakeKey<TBoolValue>(TKeyClass::kcBool, name, path);
    key->Raw = reader.Byte();
    return key.release();
  }
  case ctInt: {
    auto key = MakeKey<TIntValue>(TKeyClass::kcInt, name, path);
    key->Value = reader.Int32();
    return key.release();
  }
  case ctFloat: {
    auto key = MakeKey<TFloatValue>(TKeyClass::kcFloat, name, path);
    key->Value = reader.Double();
    return key.release();
  }
  case ctString: {
    auto key = MakeKey<TStringValue>(TKeyClass::kcString, name, path);
    key->Value = reader.String();
    return key.release();
  }
  default: {
    auto key = MakeKey<TStringListValue>(TKeyClass::kcStringList, name, path);
    // Each item takes at least its two length bytes.
    std::int32_t count = reader.Count(2);
    for (std::int32_t i = 0; i < count; ++i)
      key->Items.push_back(reader.String());
    return key.release();
  }
  }
}

// depth: the nesting level of the section being read, 0 for the file itself.
void ReadChunks(TCtlNode& node, const std::string& path, TBodyReader& reader, int depth) {
  std::int32_t count = reader.Count(MinChunkSize);
  for (std::int32_t i = 0; i < count; ++i) {
    std::uint8_t type = reader.Byte();
    switch (type) {
    case ctComment:
      AddEntry(node, new TCommentLine(reader.String()));
      break;
    case ctInclude: {
      auto include = std::make_unique<TInclude>(reader.String());
      include->Handle = LoadControlFile(include->FileName, "");
      AddEntry(node, include.release());
      break;
    }
    case ctSection: {
      std::string name = reader.String();
      if (depth >= MaxSectionDepth)
        throw EWarning("CTL2: sections nested more than 256 levels deep");
      std::string sectionPath = path + "\\" + UpperCase(name);
      TCtlNode* child = AddEntry(node, new TSection(name, sectionPath));
      ReadChunks(*child, sectionPath, reader, depth + 1);
      break;
    }
    case ctBool:
    case ctInt:
    case ctFloat:
    case ctString:
    case ctStringList:
      AddEntry(node, ReadKey(type, path, reader));
      break;
    default:
      throw EWarning("Unknown chunk type - new version?");
    }
  }
}

void WriteChunks(TCtlNode& node, const std::string& fileName, TBodyWriter& out) {
  out.Int32(node.ChildCount());
  for (std::int32_t i = 0; i < node.ChildCount(); ++i) {
    TCtlNode& child = *node.Child(i);
    TCtlEntry* entry = child.Data;
    if (auto* comment = dynamic_cast<TCommentLine*>(entry)) {
      out.Byte(ctComment);
      out.String(comment->Text);
    } else if (auto* include = dynamic_cast<TInclude*>(entry)) {
      out.Byte(ctInclude);
      out.String(include->FileName);
      SaveIncludedFile(include->Handle, fileName);
    } else if (auto* section = dynamic_cast<TSection*>(entry)) {
      out.Byte(ctSection);
      out.String(section->Name);
      WriteChunks(child, fileName, out);
    } else if (auto* flag = dynamic_cast<TBoolValue*>(entry)) {
      out.Byte(ctBool);
      out.String(flag->Name);
      out.Byte(flag->Raw);
    } else if (auto* number = dynamic_cast<TIntValue*>(entry)) {
      out.Byte(ctInt);
      out.String(number->Name);
      out.Int32(number->Value);
    } else if (auto* real = dynamic_cast<TFloatValue*>(entry)) {
      out.Byte(ctFloat);
      out.String(real->Name);
      out.Double(real->Value);
    } else if (auto* text = dynamic_cast<TStringValue*>(entry)) {
      out.Byte(ctString);
      out.String(text->Name);
      out.String(text->Value);
    } else if (auto* list = dynamic_cast<TStringListValue*>(entry)) {
      out.Byte(ctStringList);
      out.String(list->Name);
      out.Int32(list->Count());
      for (const std::string& item : list->Items)
        out.String(item);
    }
  }
}

} // namespace

bool LooksBinary(std::string_view bytes) {
  if (bytes.size() < 8) return false;
  std::uint32_t w0 = WordAt(bytes, 0);
  std::uint32_t w1 = WordAt(bytes, 4);
  std::int64_t offset = static_cast<std::int64_t>(w0 ^ w1) - HeaderMark;
  return w0 <= 100000000 && std::llabs(offset) <= 100;
}

void ReadBinaryFile(const std::string& bytes, TCtlNode& fileNode, std::int32_t passwordNumber) {
  if (bytes.size() < HeaderSize) throw EError("Invalid file header");
  std::uint32_t position = ((WordAt(bytes, 0) ^ WordAt(bytes, 4)) + 84) & 0xFF;
  if (position > 19) throw EError("Invalid file header");
  std::uint32_t keyNumber = WordAt(bytes, 8 + position);
  crypto::TKeyMatrix inverse =
      crypto::InvertKeyMatrix(crypto::BuildKeyMatrix(KeyText(keyNumber, passwordNumber)));
  std::string body = bytes.substr(HeaderSize);
  crypto::DecipherBody(reinterpret_cast<unsigned char*>(body.data()), body.size(), inverse);
  TBodyReader reader(body);
  auto* file = static_cast<TNamedValue*>(fileNode.Data);
  ReadChunks(fileNode, file->FullPath, reader, 0);
  if (reader.Left() != 0) WrongPasswordOrDamaged();
}

void WriteBinaryFile(TCtlNode& fileNode, const std::string& fileName) {
  auto* file = static_cast<TCtlFile*>(fileNode.Data);
  std::random_device device;
  std::seed_seq seed{device(), device(), device(), device()};
  std::mt19937 random(seed);
  std::uint32_t position = random() % 20;
  std::uint32_t r = random() % 100000000;
  std::uint32_t keyNumber = random() % 1000000;
  std::string header(HeaderSize, '\0');
  PutWord(header, 0, r);
  PutWord(header, 4, r ^ (HeaderMark + position));
  for (std::size_t at = 8; at < HeaderSize; ++at)
    header[at] = static_cast<char>(random());
  PutWord(header, 8 + position, keyNumber);

  TBodyWriter body;
  WriteChunks(fileNode, fileName, body);
  crypto::EncipherBody(reinterpret_cast<unsigned char*>(body.Out.data()), body.Out.size(),
                       crypto::BuildKeyMatrix(KeyText(keyNumber, file->PasswordNumber)));
  MyServis::WriteFileAtomically(fileName, header + body.Out);
}

} // namespace ControlFiles2
