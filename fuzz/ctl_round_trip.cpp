#include "ctl_round_trip.h"

#include "support/file_io.h"

void WriteIncludedFile() {
  MyServis::WriteFileAtomically("other.ctl", "$Section Shared\r\n  Size 3\r\n$EndOfSection\r\n");
}

void CheckRoundTrip(std::int32_t handle, const std::string& path, const std::string& password) {
  using namespace ControlFiles2;
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
