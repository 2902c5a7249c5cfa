#pragma once
// Failures of the language runtime's own kind: conversions and file input and
// output. Their messages carry no trace, as the user reads them directly.
#include <stdexcept>

namespace MyServis {

class EConvertError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

class EInOutError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// A file the caller may not write, refused rather than replaced.
class EReadOnlyFile : public EInOutError {
public:
  using EInOutError::EInOutError;
};

} // namespace MyServis
