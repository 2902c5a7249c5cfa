#pragma once
// Bytes of a file quoted in a message: the user reads characters, never raw bytes.
#include <string>
#include <string_view>

namespace songData {

// Well-formed UTF-8 is kept, control characters become "\xNN" and every byte
// that is not UTF-8 becomes U+FFFD.
std::string PrintableText(std::string_view bytes);

} // namespace songData
