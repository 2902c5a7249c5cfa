#pragma once
// Each target works in a fresh folder of its own, under $TMPDIR (else /tmp),
// and makes it the current folder, so that any relative name an input holds
// (an include, a playlist entry) stays inside it.
#include <cstdlib>
#include <string>
#include <unistd.h>

inline const std::string& FuzzFolder() {
  static const std::string folder = [] {
    const char* root = std::getenv("TMPDIR");
    std::string pattern =
        std::string(root != nullptr && *root != '\0' ? root : "/tmp") + "/chorvanta-fuzz-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr || ::chdir(pattern.c_str()) != 0) std::abort();
    return pattern;
  }();
  return folder;
}
