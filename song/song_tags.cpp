#include "song/song_tags.h"

#include "support/string_utils.h"

namespace songData {

bool IsTagNamed(std::string_view line, std::string_view name) {
  std::size_t colon = line.find(':');
  return colon != std::string_view::npos && MyServis::SameText(line.substr(0, colon), name);
}

std::optional<std::size_t> FindTag(const std::vector<std::string>& tags, std::string_view name) {
  for (std::size_t i = 0; i < tags.size(); ++i)
    if (IsTagNamed(tags[i], name)) return i;
  return std::nullopt;
}

std::string TagValue(const std::vector<std::string>& tags, std::string_view name) {
  auto at = FindTag(tags, name);
  return at ? tags[*at].substr(tags[*at].find(':') + 1) : std::string();
}

void SetTag(std::vector<std::string>& tags, std::string_view name, std::string_view value) {
  std::string line = std::string(name) + ":" + std::string(value);
  if (auto at = FindTag(tags, name)) {
    tags[*at] = std::move(line);
  } else {
    tags.push_back(std::move(line));
  }
}

} // namespace songData
