#include "ctl_round_trip.h"

#include "fuzz_folder.h"
#include "support/control_files.h"
#include "support/file_io.h"

#include <cstdint>
#include <exception>

namespace {

using namespace ControlFiles2;

// The neighbour an input may include, written afresh before each input, since
// saving an including file saves it too.
void WriteIncludedFile() {
  MyServis::WriteFileAtomically("other.ctl", "$Section Shared\r\n  Size 3\r\n$EndOfSection\r\n");
}

// Takes over the loaded file's handle and releases it.
void CheckRoundTrip(std::int32_t handle, const std::string& path, const std::string& password) {
  try {
    SaveControlFile(handle, smBinary);
  } catch (const std::exception&) {
    ReleaseControlFile(handle); // strings too long for the binary form
    return;
  }
  ReleaseControlFile(handle);
  // What the binary form wrote it reads back; a failure here escapes and is reported.
  handle = LoadControlFile(path, password);
  SaveControlFile(handle, smText);
  ReleaseControlFile(handle);
  try {
    ReleaseControlFile(LoadControlFile(path, password));
  } catch (const std::exception&) {
    // Some texts, such as values with quotes inside, do not survive the text form.
  }
}

} // namespace

void LoadControlFileBytes(const std::string& bytes, const std::string& password, bool roundTrip) {
  const std::string path = FuzzFolder() + "/fuzz.ctl";
  WriteIncludedFile();
  MyServis::WriteFileAtomically(path, bytes);
  MyServis::TNamedLockGuard guard(State().ControlFilesLock);
  std::int32_t handle = 0;
  try {
    handle = LoadControlFile(path, password);
  } catch (const std::exception&) {
    return;
  }
  if (roundTrip)
    CheckRoundTrip(handle, path, password);
  else
    ReleaseControlFile(handle);
}
