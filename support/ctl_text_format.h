#pragma once
// The text form of control files: one entry per line, sections between
// "$Section" and "$EndOfSection", includes, comments kept as written.
#include "support/control_file_entries.h"

#include <string>
#include <string_view>

namespace ControlFiles2 {

// Fills a registered file's node from the file's bytes; fileName is the
// expanded name, used for includes beside it and in messages.
void ReadTextFile(const std::string& fileName, const std::string& bytes, TCtlNode& fileNode);
// Writes the tree, and saves each included file of its own folder in that
// file's form.
void WriteTextFile(TCtlNode& fileNode, const std::string& fileName);

bool IsIntegerText(std::string_view text);
bool IsFloatText(std::string_view text);
// A value of text that IsFloatText accepts.
double ParseFloatText(const std::string& value);
// The shortest text that reads back as the same double, with a point or an
// exponent so that it reads back as a float rather than an integer: 3.5 ->
// "3.5", 3 -> "3.0", 1e22 -> "1E+22". Written by older versions with six
// decimals ("3.500000"), which still read.
std::string FloatText(double value);
// A key's value as a key line carries it; a list on one line, unwrapped.
std::string KeyValueText(const TNamedValue& key);

} // namespace ControlFiles2
