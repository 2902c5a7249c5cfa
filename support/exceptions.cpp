#include "support/exceptions.h"

#include <cstdio>
#include <dlfcn.h>
#include <execinfo.h>

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

} // namespace

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
