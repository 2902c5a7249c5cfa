// Any bytes as a control file in the text form: loading fails cleanly or gives
// a tree that the binary form writes and reads back, and that the text form
// writes. Includes name files beside it, "other.ctl" or the file itself.
#include "ctl_round_trip.h"
#include "support/ctl_binary_format.h"

#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace ControlFiles2;
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  // A name with a folder could reach any file; binary files have their own target.
  if (bytes.find('/') != std::string::npos || LooksBinary(bytes)) return 0;
  LoadControlFileBytes(bytes, "", true);
  return 0;
}
