// Control files in the binary form. The first byte chooses: bit 0 loads with a
// password, bit 1 takes the rest as the whole file (header and enciphered
// body); otherwise the next four bytes are the key number and the rest is the
// plain chunk data, which the target enciphers, so that mutations reach the
// chunks rather than scramble them. A file that loads must survive the binary
// form and be written in the text form.
#include "ctl_round_trip.h"
#include "support/control_files.h"
#include "support/crypto.h"
#include "support/ctl_binary_format.h"

#include <cstdint>
#include <string>

namespace {

constexpr const char* Password = "fuzz";

void PutWord(std::string& out, std::uint32_t word) {
  for (int k = 0; k < 4; ++k)
    out += static_cast<char>(word >> (8 * k));
}

// Header with the key number at position 0, body enciphered with the key text.
std::string BinaryFile(std::uint32_t keyNumber, std::string body, std::int32_t passwordNumber) {
  constexpr std::uint32_t HeaderMark = 28301740, r = 1000;
  std::string file;
  PutWord(file, r);
  PutWord(file, r ^ HeaderMark);
  PutWord(file, keyNumber);
  file.append(20, '\x5A');
  const std::string key = std::to_string(
      static_cast<std::int32_t>(keyNumber + static_cast<std::uint32_t>(passwordNumber)));
  crypto::EncipherBody(reinterpret_cast<unsigned char*>(body.data()), body.size(),
                       crypto::BuildKeyMatrix(key));
  return file + body;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace ControlFiles2;
  if (size < 1) return 0;
  const std::string password = (data[0] & 1) != 0 ? Password : "";
  const bool raw = (data[0] & 2) != 0;
  std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
  // A whole file that does not look binary is the text target's.
  if (raw && !LooksBinary(bytes)) return 0;
  if (!raw) {
    // A name with a folder could reach any file.
    if (bytes.size() < 4 || bytes.find('/') != std::string::npos) return 0;
    std::uint32_t keyNumber = 0;
    for (int k = 3; k >= 0; --k)
      keyNumber = keyNumber << 8 | static_cast<std::uint8_t>(bytes[static_cast<std::size_t>(k)]);
    bytes = BinaryFile(keyNumber, bytes.substr(4), MakePasswordNumber(password));
  }
  // What the cipher makes of a whole file is out of the input's reach, and may
  // name a file anywhere: such a file is only loaded.
  LoadControlFileBytes(bytes, password, !raw);
  return 0;
}
