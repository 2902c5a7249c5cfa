// Any bytes as a control file: loading fails cleanly or gives a tree that the
// binary form writes and reads back, and that the text form writes.
#include "support/control_files.h"
#include "support/file_io.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

const std::string& Folder() {
  static const std::string folder = [] {
    char pattern[] = "/tmp/chorvanta-fuzz-XXXXXX";
    return std::string(::mkdtemp(pattern));
  }();
  return folder;
}

// Includes would read whatever file the input names.
bool NamesAFile(const std::string& bytes) {
  std::string lower = bytes;
  for (char& c : lower)
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower.find("include") != std::string::npos;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace ControlFiles2;
  std::string bytes(reinterpret_cast<const char*>(data), size);
  if (NamesAFile(bytes)) return 0;
  std::string path = Folder() + "/fuzz.ctl";
  MyServis::WriteFileAtomically(path, bytes);
  MyServis::TNamedLockGuard guard(State().ControlFilesLock);
  std::int32_t handle = 0;
  try {
    handle = LoadControlFile(path, "");
  } catch (const std::exception&) {
    return 0;
  }
  try {
    SaveControlFile(handle, smBinary);
  } catch (const std::exception&) {
    ReleaseControlFile(handle); // strings too long for the binary form
    return 0;
  }
  ReleaseControlFile(handle);
  // What the binary form wrote it reads back; a failure here escapes and is reported.
  handle = LoadControlFile(path, "");
  SaveControlFile(handle, smText);
  ReleaseControlFile(handle);
  try {
    ReleaseControlFile(LoadControlFile(path, ""));
  } catch (const std::exception&) {
    // Some texts, such as values with quotes inside, do not survive the text form.
  }
  return 0;
}
