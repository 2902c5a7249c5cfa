#include "song/song_tags.h"

#include "support/string_utils.h"

namespace songData {

std::optional<std::size_t> FindTag(const std::vector<std::string>& tags, std::string_view name) {
  for (std::size_t i = 0; i < tags.size(); ++i) {
    std::size_t colon = tags[i].find(':');
    if (colon != std::string::npos &&
        MyServis::SameText(std::string_view(tags[i]).substr(0, colon), name))
      return i;
  }
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
