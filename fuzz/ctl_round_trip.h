#pragma once
// What every control file target checks once a file has loaded: the binary form
// writes the tree and reads it back, and the text form writes it.
#include "support/control_files.h"

#include <string>

// Writes the neighbour an input may include, afresh before each input, since
// saving an including file saves it too.
void WriteIncludedFile();

// Takes over the loaded file's handle and releases it.
void CheckRoundTrip(std::int32_t handle, const std::string& path, const std::string& password);
