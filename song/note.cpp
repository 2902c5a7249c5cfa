#include "song/note.h"

#include "song/text_encoding.h"

namespace songData {

void TNoteText::Assign(std::string_view text) {
  std::size_t keep = text.size();
  if (keep > Capacity) keep = IsValidUtf8(text) ? Utf8CutLength(text, Capacity) : Capacity;
  Length = static_cast<std::uint8_t>(keep);
  std::memcpy(Bytes, text.data(), Length);
  std::memset(Bytes + Length, 0, Capacity - Length);
}

} // namespace songData
