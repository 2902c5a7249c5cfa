#include "cli/json_text.h"

#include <cstdio>

namespace cli {
namespace {

constexpr std::string_view Replacement = "\xEF\xBF\xBD";

// Length of the well-formed sequence at the front, or of its maximal invalid prefix
// (at least 1) as a negative number.
int SequenceLength(std::string_view s) {
  auto b = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
  unsigned char lead = b(0);
  if (lead < 0x80) return 1;
  int length;
  unsigned char low = 0x80, high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return -1;
  }
  for (int i = 1; i < length; ++i) {
    if (static_cast<std::size_t>(i) >= s.size()) return -i;
    unsigned char c = b(i);
    unsigned char lo = i == 1 ? low : 0x80, hi = i == 1 ? high : 0xBF;
    if (c < lo || c > hi) return -i;
  }
  return length;
}

} // namespace

std::string ToValidUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  while (!bytes.empty()) {
    int length = SequenceLength(bytes);
    if (length > 0) {
      out.append(bytes.substr(0, length));
    } else {
      out.append(Replacement);
      length = -length;
    }
    bytes.remove_prefix(static_cast<std::size_t>(length));
  }
  return out;
}

std::string JsonString(std::string_view bytes) {
  std::string out = "\"";
  for (char c : ToValidUtf8(bytes)) {
    switch (c) {
    case '"':
      out += "\\\"";
      break;
    case '\\':
      out += "\\\\";
      break;
    case '\n':
      out += "\\n";
      break;
    case '\r':
      out += "\\r";
      break;
    case '\t':
      out += "\\t";
      break;
    default:
      if (static_cast<unsigned char>(c) < 0x20) {
        char escape[8];
        std::snprintf(escape, sizeof escape, "\\u%04x", c);
        out += escape;
      } else {
        out += c;
      }
    }
  }
  return out + "\"";
}

std::string HexBytes(std::string_view bytes) {
  static constexpr char Digits[] = "0123456789abcdef";
  std::string out;
  out.reserve(bytes.size() * 2);
  for (char c : bytes) {
    auto v = static_cast<unsigned char>(c);
    out += Digits[v >> 4];
    out += Digits[v & 15];
  }
  return out;
}

} // namespace cli
