#pragma once
// The entries of a loaded control file. Each is held by one node of the
// registry tree; a section's entries are its node's children, in file order.
#include "support/generic_tree.h"

#include <cstdint>
#include <string>
#include <vector>

namespace ControlFiles2 {

class TCtlEntry {
public:
  virtual ~TCtlEntry() = default;
};

using TCtlNode = structs::TGenericTree<TCtlEntry>;

// Sections deeper than this are refused: readers and writers recurse per level.
constexpr int MaxSectionDepth = 256;

// Everything that has a path. FullPath is the key of its KeyIndex entry, which
// refers to this very string, so FullPath never changes once registered.
class TNamedValue : public TCtlEntry {
public:
  TNamedValue(std::string name, std::string fullPath)
      : Name(std::move(name)), FullPath(std::move(fullPath)) {}
  ~TNamedValue() override;
  std::string Name;
  const std::string FullPath;
};

class TSection : public TNamedValue {
public:
  using TNamedValue::TNamedValue;
};

// The root of one loaded file.
class TCtlFile : public TSection {
public:
  using TSection::TSection;
  std::string FileName; // expanded, as opened
  bool IsText = true;
  std::int32_t Handle = 0;
  std::int32_t RefCount = 1;
  std::int32_t PasswordNumber = 0;
};

class TIntValue : public TNamedValue {
public:
  using TNamedValue::TNamedValue;
  std::int32_t Value = 0;
};

class TFloatValue : public TNamedValue {
public:
  using TNamedValue::TNamedValue;
  double Value = 0;
};

// The byte as read from a binary file, so that it is written back unchanged.
class TBoolValue : public TNamedValue {
public:
  using TNamedValue::TNamedValue;
  bool Get() const { return Raw != 0; }
  void Set(bool value) { Raw = value ? 1 : 0; }
  std::uint8_t Raw = 0;
};

class TStringValue : public TNamedValue {
public:
  using TNamedValue::TNamedValue;
  std::string Value;
};

class TStringListValue : public TNamedValue {
public:
  using TNamedValue::TNamedValue;
  std::int32_t Count() const { return static_cast<std::int32_t>(Items.size()); }
  void SetCount(std::int32_t count); // new items are empty
  const std::string& Item(std::int32_t index) const;
  void SetItem(std::int32_t index, std::string value);
  std::vector<std::string> Items;
};

class TCommentLine : public TCtlEntry {
public:
  explicit TCommentLine(std::string text) : Text(std::move(text)) {}
  std::string Text;
};

// Holds one reference on the included file while it exists.
class TInclude : public TCtlEntry {
public:
  explicit TInclude(std::string fileName) : FileName(std::move(fileName)) {}
  ~TInclude() override;
  std::string FileName; // as written in the including file
  std::int32_t Handle = -1;
};

} // namespace ControlFiles2
