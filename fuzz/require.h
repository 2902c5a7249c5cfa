#pragma once
// A target's check of what the reader promises: a broken promise is a crash
// that libFuzzer keeps, with the input that broke it.
#include <cstdlib>

inline void Require(bool condition) {
  if (!condition) std::abort();
}
