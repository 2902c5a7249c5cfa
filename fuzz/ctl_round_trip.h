#pragma once
// What every control file target does with its file: load it and, once it has
// loaded, check that the binary form writes the tree and reads it back, that
// every float the text form writes reads back the same, and that the text form
// writes it.
#include <string>

// Writes bytes as a control file in the fuzz folder, beside the neighbour it may
// include, and loads it with password. A file that does not load is no fault;
// one that loads is checked when roundTrip, else only released.
void LoadControlFileBytes(const std::string& bytes, const std::string& password, bool roundTrip);
