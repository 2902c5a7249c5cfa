#include "common/temp_folder.h"

#include "support/file_io.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

TTempFolder::TTempFolder() {
  char pattern[] = "/tmp/chorvanta-test-XXXXXX";
  path_ = ::mkdtemp(pattern);
}

TTempFolder::~TTempFolder() {
  std::error_code ignored;
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, ignored);
  std::filesystem::remove_all(path_, ignored);
}

std::string TTempFolder::Write(const std::string& name, const std::string& bytes) const {
  std::ofstream(File(name), std::ios::binary) << bytes;
  return File(name);
}

std::string TTempFolder::Read(const std::string& name) const {
  return MyServis::ReadFileBytes(File(name));
}

bool TTempFolder::Exists(const std::string& name) const {
  return std::filesystem::exists(File(name));
}

std::string TTempFolder::Listing() const {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(path_))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  std::string listing;
  for (const std::string& name : names)
    listing += (listing.empty() ? "" : " ") + name;
  return listing;
}
