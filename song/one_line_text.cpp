#include "song/one_line_text.h"

namespace songData {

void AppendOneLine(std::string& out, std::string_view text) {
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    out += (byte < 0x20 && c != '\t') || byte == 0x7F ? ' ' : c;
  }
}

} // namespace songData
