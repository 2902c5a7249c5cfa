#pragma once
// The binary form of control files: a 32-byte random header that hides the key
// number, then the tree as typed chunks, enciphered.
#include "support/control_file_entries.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace ControlFiles2 {

// Whether the first bytes of a file mark it as binary.
bool LooksBinary(std::string_view bytes);
// Fills a registered file's node; fails cleanly on damaged or truncated input,
// with "Wrong password or damaged file" when a count does not fit the data or
// bytes are left over, as a wrong password makes them.
void ReadBinaryFile(const std::string& bytes, TCtlNode& fileNode, std::int32_t passwordNumber);
// Writes the tree with a fresh random header, and saves each included file of
// its own folder in that file's form.
void WriteBinaryFile(TCtlNode& fileNode, const std::string& fileName);

} // namespace ControlFiles2
