#include "support/string_utils.h"

#include "support/log.h"

#include <algorithm>

namespace MyServis {
namespace {

bool IsBlank(char c) {
  return static_cast<unsigned char>(c) <= 32;
}

char LowerAscii(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

void ReplaceAll(std::string& text, std::string_view from, std::string_view to) {
  for (std::size_t at = text.find(from); at != std::string::npos;
       at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
}

} // namespace

std::string Quote(std::string_view text, bool force, char quote) {
  if (!force && !text.empty() && text.front() != quote &&
      text.find_first_of(" \t") == std::string_view::npos) {
    return std::string(text);
  }
  std::string result(1, quote);
  for (char c : text) {
    result += c;
    if (c == quote) result += c;
  }
  result += quote;
  return result;
}

std::string Unquote(std::string_view text, char quote) {
  if (text.empty() || text.front() != quote) return std::string(text);
  text.remove_prefix(1);
  if (!text.empty() && text.back() == quote) text.remove_suffix(1);
  std::string result(text);
  const char pair[2] = {quote, quote};
  ReplaceAll(result, std::string_view(pair, 2), std::string_view(pair, 1));
  return result;
}

std::vector<std::string> SplitQuoted(std::string_view separator, std::string_view text,
                                     char quote) {
  std::vector<std::string> items;
  while (!text.empty()) {
    std::size_t start = text.find_first_not_of(" \t");
    if (start == std::string_view::npos) break;
    text.remove_prefix(start);
    if (quote != 0 && text.size() >= 2 && text.front() == quote) {
      std::string item;
      std::size_t i = 1;
      bool closed = false;
      while (i < text.size()) {
        if (text[i] == quote) {
          if (i + 1 < text.size() && text[i + 1] == quote) {
            item += quote;
            i += 2;
            continue;
          }
          closed = true;
          break;
        }
        item += text[i++];
      }
      if (!closed) {
        LogChannelMessage("Warning! Unterminated string: " + std::string(text), 0);
        break;
      }
      items.push_back(std::move(item));
      // The closing quote and the separator character after it.
      text.remove_prefix(std::min(text.size(), i + 2));
      continue;
    }
    std::size_t at = separator.empty() ? std::string_view::npos : text.find(separator);
    if (at == std::string_view::npos) {
      items.emplace_back(text);
      break;
    }
    std::string_view item = text.substr(0, at);
    while (!item.empty() && IsBlank(item.back()))
      item.remove_suffix(1);
    items.emplace_back(item);
    text.remove_prefix(at + separator.size());
  }
  return items;
}

std::vector<std::string> Explode(std::string_view separator, std::string_view text) {
  std::vector<std::string> pieces;
  if (separator.empty()) {
    pieces.emplace_back(text);
    return pieces;
  }
  for (;;) {
    std::size_t at = text.find(separator);
    if (at == std::string_view::npos) break;
    pieces.emplace_back(text.substr(0, at));
    text.remove_prefix(at + separator.size());
  }
  pieces.emplace_back(text);
  return pieces;
}

std::string TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front()))
    text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back()))
    text.remove_suffix(1);
  return std::string(text);
}

bool SameText(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  }
  return true;
}

std::size_t FindText(std::string_view haystack, std::string_view needle) {
  if (needle.size() > haystack.size()) return std::string_view::npos;
  for (std::size_t at = 0; at + needle.size() <= haystack.size(); ++at) {
    if (SameText(haystack.substr(at, needle.size()), needle)) return at;
  }
  return std::string_view::npos;
}

} // namespace MyServis
