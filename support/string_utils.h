#pragma once
// Quoting, splitting and trimming of byte strings.
#include <string>
#include <string_view>
#include <vector>

namespace MyServis {

std::string Quote(std::string_view text, bool force, char quote);
std::string Unquote(std::string_view text, char quote);
// quote 0: no quoted items.
std::vector<std::string> SplitQuoted(std::string_view separator, std::string_view text, char quote);
std::vector<std::string> Explode(std::string_view separator, std::string_view text);
// Removes every character with a code up to 32 from both ends.
std::string TrimBlanks(std::string_view text);

// ASCII letters compare without regard to case; other bytes exactly.
bool SameText(std::string_view a, std::string_view b);
// Position of the first occurrence of needle without regard to ASCII case, or npos.
std::size_t FindText(std::string_view haystack, std::string_view needle);

} // namespace MyServis
