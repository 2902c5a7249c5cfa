#include "song/one_line_text.h"

namespace songData {

void AppendOneLine(std::string& out, std::string_view text) {
  for (char c : text)
    out += c == '\r' || c == '\n' ? ' ' : c;
}

} // namespace songData
