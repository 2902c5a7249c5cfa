#include "ctl_round_trip.h"

#include "fuzz_folder.h"
#include "require.h"
#include "support/control_files.h"
#include "support/ctl_text_format.h"
#include "support/file_io.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <exception>

namespace {

using namespace ControlFiles2;

// The neighbour an input may include, written afresh before each input, since
// saving an including file saves it too.
void WriteIncludedFile() {
  MyServis::WriteFileAtomically("other.ctl", "$Section Shared\r\n  Size 3\r\n$EndOfSection\r\n");
}

// Every float that the text form writes reads back as a float of the same
// double; infinities and NaNs have no text form.
void CheckFloatTexts(const TCtlNode& node) {
  for (std::int32_t i = 0; i < node.ChildCount(); ++i) {
    const TCtlNode& child = *node.Child(i);
    if (auto* real = dynamic_cast<const TFloatValue*>(child.Data);
        real != nullptr && std::isfinite(real->Value)) {
      const std::string text = FloatText(real->Value);
      Require(IsFloatText(text) && !IsIntegerText(text));
      const double back = ParseFloatText(text);
      Require(std::memcmp(&back, &real->Value, sizeof back) == 0);
    }
    CheckFloatTexts(child);
  }
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
  CheckFloatTexts(*FindControlFile(handle));
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
