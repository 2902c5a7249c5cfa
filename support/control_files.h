#pragma once
// Control files: settings kept in memory as trees of sections and typed keys,
// read from and written to disk in a text or an enciphered binary form. Every
// loaded file lives in one process-wide registry; entries are addressed by
// paths such as SETTINGS.CTL:\WINDOW\WIDTH, matched without regard to case.
#include "support/control_file_entries.h"
#include "support/named_lock.h"
#include "support/str_hash.h"

#include <cstdint>
#include <set>
#include <string>

namespace ControlFiles2 {

enum TSaveMode : std::int32_t { smText = 1, smAsLoaded = 2, smBinary = 3 };

// Shared by every thread: ControlFilesLock serialises all access to the state.
struct TControlFilesState {
  TControlFilesState();
  TCtlNode ControlFiles{true, true}; // one child per loaded file
  Hashes::TStrHash<TCtlNode> KeyIndex{256};
  MyServis::TNamedLock ControlFilesLock;
  std::int32_t HandleCounter = 0;
  // While a save runs: the files it has written, so that include cycles end.
  int SaveDepth = 0;
  std::set<std::int32_t> SavedHandles;
  int LoadDepth = 0;
};

// Made at first use and never destroyed: files still loaded at exit are neither
// saved nor freed.
TControlFilesState& State();

// The library's operations; the caller holds ControlFilesLock.
std::int32_t LoadControlFile(const std::string& fileName, const std::string& password);
std::int32_t OpenControlFile(const std::string& expandedName, std::int32_t passwordNumber);
void ReleaseControlFile(std::int32_t handle);
void SaveControlFile(std::int32_t handle, std::int32_t mode);
// Saves a file that the file named includes, in its loaded form, when both lie
// in one folder (links followed): an include may name any file, such as another
// program's settings, and a save must not rewrite that in this library's forms.
void SaveIncludedFile(std::int32_t handle, const std::string& includingFileName);
TCtlNode* FindControlFile(std::int32_t handle);
TCtlEntry* FindKey(const std::string& fullPath);
std::string GetStringByPath(const std::string& fullPath);
void SetStringByPath(const std::string& fullPath, const std::string& value);
void CreateSectionPath(const std::string& path);

enum class TKeyClass { kcBool, kcInt, kcFloat, kcString, kcStringList };
TNamedValue* CreateKey(const std::string& fullPath, TKeyClass keyClass);

std::int32_t MakePasswordNumber(const std::string& password);
std::string UpperCase(std::string text);
// Appends the entry to a section's node and enters a named entry in KeyIndex.
TCtlNode* AddEntry(TCtlNode& node, TCtlEntry* entry);
TNamedValue* NewKey(TKeyClass keyClass, std::string name, std::string fullPath);

// The program's handle on one loaded file.
class TControlFile {
public:
  // Loads the file (or gains a reference on it); a failure leaves no object.
  TControlFile(const std::string& fileName, const std::string& password);
  ~TControlFile();
  TControlFile(const TControlFile&) = delete;
  TControlFile& operator=(const TControlFile&) = delete;

  std::string GetString(const std::string& path);
  std::string GetStringDef(const std::string& path, const std::string& defaultValue);
  void SetString(const std::string& path, const std::string& value);
  void Save();
  // A path relative to the file ("Window\Width", "..\X") made into a full one.
  std::string ResolvePath(std::string path) const;

  std::string Prefix;
  std::int32_t Handle = -1;
};

} // namespace ControlFiles2
