#pragma once
// The support library's exceptions. Their messages begin with a short call trace
// in square brackets, so a report from the field says where the failure was made.
#include <cstdint>
#include <stdexcept>
#include <string>

namespace MyServis {

class TBaseException : public std::runtime_error {
public:
  explicit TBaseException(const std::string& message);
  // Module-relative code address at which the exception object was made.
  std::uintptr_t Address() const { return address_; }

private:
  struct TTrace {
    std::uintptr_t Address;
    std::string Prefix;
  };
  static TTrace CaptureTrace();
  TBaseException(const TTrace& trace, const std::string& message);
  std::uintptr_t address_;
};

// Failures that leave the system usable.
class EWarning : public TBaseException {
public:
  using TBaseException::TBaseException;
};

// Load failures and bad file headers.
class EError : public TBaseException {
public:
  using TBaseException::TBaseException;
};

class EFatalError : public TBaseException {
public:
  using TBaseException::TBaseException;
};

// The trace prefix for the frames given, outermost first: "[0000ABCD->...] ".
std::string TracePrefix(const std::uintptr_t* frames, int count);

// The text without any trace prefix, wherever one stands: callers put their own
// words before a message, and messages are wrapped in others.
std::string WithoutTracePrefixes(const std::string& text);

// An exception's message for a message of one's own: "Not enough memory" for
// std::bad_alloc, whose what() means nothing to a user; what() otherwise.
std::string MessageOf(const std::exception& e);

} // namespace MyServis
