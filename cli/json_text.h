#pragma once
// Pieces of JSON output: strings from arbitrary bytes, numbers, hex.
#include <string>
#include <string_view>

namespace cli {

// Each maximal ill-formed subsequence becomes U+FFFD, as Unicode recommends.
std::string ToValidUtf8(std::string_view bytes);
// A JSON string literal of the bytes, shown as valid UTF-8.
std::string JsonString(std::string_view bytes);
std::string HexBytes(std::string_view bytes);

} // namespace cli
