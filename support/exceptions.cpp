#include "support/exceptions.h"

#include <cstdio>
#include <dlfcn.h>
#include <execinfo.h>
#include <new>
#include <string_view>

namespace MyServis {
namespace {

constexpr int MaxTraceFrames = 3;

std::uintptr_t ModuleOffset(void* address) {
  Dl_info info{};
  auto raw = reinterpret_cast<std::uintptr_t>(address);
  if (dladdr(address, &info) != 0 && info.dli_fbase != nullptr)
    return raw - reinterpret_cast<std::uintptr_t>(info.dli_fbase);
  return raw;
}

bool IsTraceDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
}

// The length of the trace prefix that text starts with; 0 when it starts with none.
std::size_t TracePrefixLength(std::string_view text) {
  if (text.empty() || text[0] != '[') return 0;
  std::size_t at = 1;
  for (;;) {
    std::size_t digits = 0;
    while (at + digits < text.size() && IsTraceDigit(text[at + digits]))
      ++digits;
    if (digits < 8) return 0;
    at += digits;
    if (text.substr(at, 2) == "->") {
      at += 2;
    } else {
      return text.substr(at, 2) == "] " ? at + 2 : 0;
    }
  }
}

} // namespace

std::string WithoutTracePrefixes(const std::string& text) {
  std::string kept;
  for (std::size_t at = 0; at < text.size();) {
    std::size_t length = TracePrefixLength(std::string_view(text).substr(at));
    if (length > 0) {
      at += length;
    } else {
      kept += text[at++];
    }
  }
  return kept;
}

std::string MessageOf(const std::exception& e) {
  if (dynamic_cast<const std::bad_alloc*>(&e) != nullptr) return "Not enough memory";
  return e.what();
}

std::string TracePrefix(const std::uintptr_t* frames, int count) {
  std::string prefix = "[";
  for (int i = 0; i < count; ++i) {
    char hex[24];
    std::snprintf(hex, sizeof hex, "%08llX", static_cast<unsigned long long>(frames[i]));
    if (i > 0) prefix += "->";
    prefix += hex;
  }
  prefix += "] ";
  return prefix;
}

// Frame 0 is this function, frame 1 the exception's constructor; the callers follow.
[[gnu::noinline]] TBaseException::TTrace TBaseException::CaptureTrace() {
  constexpr int Skipped = 2;
  void* frames[Skipped + MaxTraceFrames];
  int depth = backtrace(frames, Skipped + MaxTraceFrames);
  TTrace trace{depth > 1 ? ModuleOffset(frames[1]) : 0, {}};
  std::uintptr_t outermostFirst[MaxTraceFrames];
  int count = depth > Skipped ? depth - Skipped : 0;
  for (int i = 0; i < count; ++i)
    outermostFirst[i] = ModuleOffset(frames[depth - 1 - i]);
  trace.Prefix = TracePrefix(outermostFirst, count);
  return trace;
}

TBaseException::TBaseException(const std::string& message)
    : TBaseException(CaptureTrace(), message) {}

TBaseException::TBaseException(const TTrace& trace, const std::string& message)
    : std::runtime_error(trace.Prefix + message), address_(trace.Address) {}

} // namespace MyServis
