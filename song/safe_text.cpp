#include "song/safe_text.h"

#include "song/text_encoding.h"

namespace songData {

std::string PrintableText(std::string_view bytes) {
  static constexpr char Hex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size();) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    const std::size_t length = Utf8SequenceLength(bytes, i);
    if (length == 0) {
      out += "\xEF\xBF\xBD";
      ++i;
    } else if (byte < 0x20 || byte == 0x7F) {
      out += "\\x";
      out += Hex[byte >> 4];
      out += Hex[byte & 0xF];
      ++i;
    } else if (byte == 0xC2 && static_cast<unsigned char>(bytes[i + 1]) < 0xA0) {
      // U+0080 to U+009F: the C1 controls.
      out += "\\u00";
      out += Hex[static_cast<unsigned char>(bytes[i + 1]) >> 4];
      out += Hex[static_cast<unsigned char>(bytes[i + 1]) & 0xF];
      i += 2;
    } else {
      out.append(bytes.substr(i, length));
      i += length;
    }
  }
  return out;
}

} // namespace songData
