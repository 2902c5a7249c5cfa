#pragma once
// Header lines "#NAME:value": the first ":" separates the name from the value and
// names compare without regard to letter case. A line without ":" has no name.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace songData {

// Whether the line's name is `name`.
bool IsTagNamed(std::string_view line, std::string_view name);
// Index of the first line named `name`, if any.
std::optional<std::size_t> FindTag(const std::vector<std::string>& tags, std::string_view name);
// Everything after the first ":" of that line, unchanged; empty when missing.
std::string TagValue(const std::vector<std::string>& tags, std::string_view name);
// Replaces the first line of that name by name:value, or appends one.
void SetTag(std::vector<std::string>& tags, std::string_view name, std::string_view value);

} // namespace songData
