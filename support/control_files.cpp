#include "support/control_files.h"

#include "support/ctl_binary_format.h"
#include "support/ctl_text_format.h"
#include "support/exceptions.h"
#include "support/file_io.h"
#include "support/string_utils.h"

#include <algorithm>
#include <filesystem>

namespace ControlFiles2 {

using MyServis::EError;
using MyServis::EWarning;

namespace {

std::string ExpandFileName(const std::string& fileName) {
  return std::filesystem::absolute(fileName).lexically_normal().string();
}

bool IsDirectiveLike(const std::string& upperName) {
  return upperName.compare(0, 8, "$SECTION") == 0 || upperName.compare(0, 8, "$INCLUDE") == 0 ||
         upperName == "$ENDOFSECTION";
}

// A created key must read back as the same key from the text form.
bool IsKeyName(const std::string& name) {
  if (name.empty() || name[0] == '#' || name[0] == ';') return false;
  for (char c : name) {
    if (static_cast<unsigned char>(c) <= 32) return false;
  }
  return !IsDirectiveLike(UpperCase(name));
}

// Inner spaces survive a section line; blanks at either end and control
// characters do not.
bool IsSectionName(const std::string& name) {
  if (name.empty() || name.front() == ' ' || name.back() == ' ') return false;
  for (char c : name) {
    if (static_cast<unsigned char>(c) < 32) return false;
  }
  return true;
}

class TDepthGuard {
public:
  explicit TDepthGuard(int& depth) : depth_(depth) { ++depth_; }
  ~TDepthGuard() { --depth_; }
  TDepthGuard(const TDepthGuard&) = delete;
  TDepthGuard& operator=(const TDepthGuard&) = delete;

private:
  int& depth_;
};

constexpr int MaxIncludeDepth = 256;

} // namespace

TControlFilesState::TControlFilesState() {
  MyServis::InitNamedLock(ControlFilesLock, "CtlFiles2");
}

TControlFilesState& State() {
  static TControlFilesState* state = new TControlFilesState;
  return *state;
}

TNamedValue::~TNamedValue() {
  auto& index = State().KeyIndex;
  TCtlNode* node = index.Find(FullPath);
  if (node == nullptr) return;
  index.Remove(FullPath);
  // Another entry of this path (a later duplicate, or a file of the same name in
  // another folder) stays findable, now under its own string.
  if (node->Data != this) {
    if (auto* other = dynamic_cast<TNamedValue*>(node->Data)) index.Add(other->FullPath, node);
  }
}

TInclude::~TInclude() {
  if (Handle != -1) ReleaseControlFile(Handle);
}

void TStringListValue::SetCount(std::int32_t count) {
  Items.resize(static_cast<std::size_t>(count < 0 ? 0 : count));
}

const std::string& TStringListValue::Item(std::int32_t index) const {
  if (index < 0 || index >= Count()) throw EWarning("CTL2: string index out of bounds");
  return Items[static_cast<std::size_t>(index)];
}

void TStringListValue::SetItem(std::int32_t index, std::string value) {
  if (index < 0 || index >= Count()) throw EWarning("CTL2: string index out of bounds");
  Items[static_cast<std::size_t>(index)] = std::move(value);
}

std::string UpperCase(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  }
  return text;
}

// FNV-1a over the password's bytes.
std::int32_t MakePasswordNumber(const std::string& password) {
  if (password.empty()) return 0;
  std::uint32_t hash = 2166136261u;
  for (char c : password) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 16777619u;
  }
  return static_cast<std::int32_t>(hash);
}

TCtlNode* AddEntry(TCtlNode& node, TCtlEntry* entry) {
  TCtlNode* child = node.Child(node.AddChild(entry));
  if (auto* named = dynamic_cast<TNamedValue*>(entry)) State().KeyIndex.Add(named->FullPath, child);
  return child;
}

TNamedValue* NewKey(TKeyClass keyClass, std::string name, std::string fullPath) {
  switch (keyClass) {
  case TKeyClass::kcBool:
    return new TBoolValue(std::move(name), std::move(fullPath));
  case TKeyClass::kcInt:
    return new TIntValue(std::move(name), std::move(fullPath));
  case TKeyClass::kcFloat:
    return new TFloatValue(std::move(name), std::move(fullPath));
  case TKeyClass::kcStringList:
    return new TStringListValue(std::move(name), std::move(fullPath));
  case TKeyClass::kcString:
    break;
  }
  return new TStringValue(std::move(name), std::move(fullPath));
}

std::int32_t LoadControlFile(const std::string& fileName, const std::string& password) {
  TControlFilesState& state = State();
  std::string expanded = fileName;
  try {
    expanded = ExpandFileName(fileName);
    for (std::int32_t i = 0; i < state.ControlFiles.ChildCount(); ++i) {
      auto* file = dynamic_cast<TCtlFile*>(state.ControlFiles.Child(i)->Data);
      if (file != nullptr && file->FileName == expanded) {
        file->RefCount += 1;
        return file->Handle;
      }
    }
    if (state.LoadDepth >= MaxIncludeDepth)
      throw EWarning("CTL2: includes nested more than 256 levels deep");
    TDepthGuard depth(state.LoadDepth);
    return OpenControlFile(expanded, MakePasswordNumber(password));
  } catch (const std::exception& e) {
    throw EError("CTL2: Can't load control file: " + expanded + ", exception: " + e.what());
  }
}

std::int32_t OpenControlFile(const std::string& expandedName, std::int32_t passwordNumber) {
  TControlFilesState& state = State();
  std::string bytes = MyServis::ReadFileBytes(expandedName);
  std::string name = MyServis::NameOfPath(expandedName);
  auto* file = new TCtlFile(name, UpperCase(name) + ":");
  file->Handle = ++state.HandleCounter;
  file->FileName = expandedName;
  file->IsText = !LooksBinary(bytes);
  file->PasswordNumber = passwordNumber;
  // Registered before reading, so that a file including itself finds itself.
  TCtlNode* node = AddEntry(state.ControlFiles, file);
  try {
    if (file->IsText) {
      ReadTextFile(expandedName, bytes, *node);
    } else {
      ReadBinaryFile(bytes, *node, passwordNumber);
    }
  } catch (...) {
    // A half-read file must not stay registered: the next load would take it
    // as loaded, and a save would write the half over the whole.
    file->RefCount = 1;
    ReleaseControlFile(file->Handle);
    throw;
  }
  return file->Handle;
}

void ReleaseControlFile(std::int32_t handle) {
  TCtlNode* node = FindControlFile(handle);
  if (node == nullptr) return;
  auto* file = static_cast<TCtlFile*>(node->Data);
  if (file->RefCount <= 0) return; // being freed already, reached again through a cycle
  file->RefCount -= 1;
  if (file->RefCount <= 0) delete node;
}

TCtlNode* FindControlFile(std::int32_t handle) {
  TCtlNode& files = State().ControlFiles;
  for (std::int32_t i = 0; i < files.ChildCount(); ++i) {
    auto* file = dynamic_cast<TCtlFile*>(files.Child(i)->Data);
    if (file != nullptr && file->Handle == handle) return files.Child(i);
  }
  return nullptr;
}

void SaveControlFile(std::int32_t handle, std::int32_t mode) {
  TControlFilesState& state = State();
  try {
    TCtlNode* node = FindControlFile(handle);
    if (node == nullptr) throw EWarning("invalid handle passed");
    // One save writes each file once, however the files include each other.
    if (state.SaveDepth == 0) state.SavedHandles.clear();
    if (!state.SavedHandles.insert(handle).second) return;
    TDepthGuard depth(state.SaveDepth);
    auto* file = static_cast<TCtlFile*>(node->Data);
    if (mode == smAsLoaded) mode = file->IsText ? smText : smBinary;
    if (mode == smText) {
      WriteTextFile(*node, file->FileName);
    } else {
      WriteBinaryFile(*node, file->FileName);
    }
  } catch (const std::exception& e) {
    throw EWarning(std::string("CTL2: Can't save control file: unknown, exception: ") + e.what());
  }
}

void SaveIncludedFile(std::int32_t handle, const std::string& includingFileName) {
  auto folderOf = [](const std::string& fileName) {
    return MyServis::FolderOfPath(MyServis::ResolvedPath(fileName));
  };
  TCtlNode* node = FindControlFile(handle);
  if (node != nullptr &&
      folderOf(static_cast<TCtlFile*>(node->Data)->FileName) != folderOf(includingFileName))
    return;
  SaveControlFile(handle, smAsLoaded);
}

TCtlEntry* FindKey(const std::string& fullPath) {
  TCtlNode* node = State().KeyIndex.Find(UpperCase(fullPath));
  return node == nullptr ? nullptr : node->Data;
}

std::string GetStringByPath(const std::string& fullPath) {
  TCtlEntry* entry = FindKey(fullPath);
  if (auto* text = dynamic_cast<TStringValue*>(entry)) return text->Value;
  if (auto* number = dynamic_cast<TIntValue*>(entry)) return std::to_string(number->Value);
  throw EWarning("CTL2: key does not exists or has inproper type - " + fullPath);
}

void SetStringByPath(const std::string& fullPath, const std::string& value) {
  TCtlEntry* entry = FindKey(fullPath);
  if (entry == nullptr) {
    entry = CreateKey(fullPath, TKeyClass::kcString);
    if (entry == nullptr) throw EWarning("CTL2: cannot create key - " + fullPath);
  }
  auto* text = dynamic_cast<TStringValue*>(entry);
  if (text == nullptr) throw EWarning("CTL2: operation requires another type of key - " + fullPath);
  text->Value = value;
}

TNamedValue* CreateKey(const std::string& fullPath, TKeyClass keyClass) {
  std::size_t slash = fullPath.rfind('\\');
  if (slash == std::string::npos) return nullptr;
  std::string parentPath = fullPath.substr(0, slash);
  std::string name = fullPath.substr(slash + 1);
  if (!IsKeyName(name)) return nullptr;
  CreateSectionPath(parentPath);
  TCtlNode* parent = State().KeyIndex.Find(UpperCase(parentPath));
  if (parent == nullptr) return nullptr;
  TNamedValue* key = NewKey(keyClass, name, UpperCase(fullPath));
  AddEntry(*parent, key);
  return key;
}

void CreateSectionPath(const std::string& path) {
  TCtlEntry* existing = FindKey(path);
  if (dynamic_cast<TSection*>(existing) != nullptr) return;
  if (existing != nullptr)
    throw EWarning("CTL2: Cannot create section - key already exists: " + path);
  std::size_t colon = path.find(':');
  std::string filePart = path.substr(0, colon);
  std::string rest =
      colon == std::string::npos ? std::string() : path.substr(std::min(colon + 2, path.size()));
  TCtlNode& files = State().ControlFiles;
  TCtlNode* node = nullptr;
  for (std::int32_t i = files.ChildCount() - 1; i >= 0 && node == nullptr; --i) {
    auto* file = dynamic_cast<TCtlFile*>(files.Child(i)->Data);
    if (file != nullptr && MyServis::SameText(file->Name, filePart)) node = files.Child(i);
  }
  if (node == nullptr)
    throw EWarning("CTL2: Cannot create section - file " + filePart + " was not loaded.");
  if (rest.empty()) return;
  std::vector<std::string> components = MyServis::Explode("\\", rest);
  for (const std::string& component : components) {
    if (!IsSectionName(component))
      throw EWarning("CTL2: Cannot create section - bad section name in " + path);
  }
  if (static_cast<int>(components.size()) > MaxSectionDepth)
    throw EWarning("CTL2: Cannot create section - more than 256 levels deep: " + path);
  for (const std::string& component : components) {
    TCtlNode* next = nullptr;
    for (std::int32_t i = 0; i < node->ChildCount() && next == nullptr; ++i) {
      auto* section = dynamic_cast<TSection*>(node->Child(i)->Data);
      if (section != nullptr && MyServis::SameText(section->Name, component)) next = node->Child(i);
    }
    if (next == nullptr) {
      auto* parent = static_cast<TNamedValue*>(node->Data);
      next =
          AddEntry(*node, new TSection(component, parent->FullPath + "\\" + UpperCase(component)));
    }
    node = next;
  }
}

TControlFile::TControlFile(const std::string& fileName, const std::string& password) {
  MyServis::TNamedLockGuard guard(State().ControlFilesLock);
  Handle = LoadControlFile(fileName, password);
  Prefix = MyServis::NameOfPath(fileName) + ":";
}

TControlFile::~TControlFile() {
  MyServis::TNamedLockGuard guard(State().ControlFilesLock);
  if (Handle != -1) ReleaseControlFile(Handle);
}

std::string TControlFile::GetString(const std::string& path) {
  MyServis::TNamedLockGuard guard(State().ControlFilesLock);
  return GetStringByPath(ResolvePath(path));
}

std::string TControlFile::GetStringDef(const std::string& path, const std::string& defaultValue) {
  try {
    return GetString(path);
  } catch (...) {
    return defaultValue;
  }
}

void TControlFile::SetString(const std::string& path, const std::string& value) {
  MyServis::TNamedLockGuard guard(State().ControlFilesLock);
  SetStringByPath(ResolvePath(path), value);
}

void TControlFile::Save() {
  MyServis::TNamedLockGuard guard(State().ControlFilesLock);
  SaveControlFile(Handle, smAsLoaded);
}

// A path holding ":" names its file itself and is taken as it is.
std::string TControlFile::ResolvePath(std::string path) const {
  if (path.find(':') != std::string::npos) return path;
  std::string start = Prefix;
  if (!start.empty() && start.back() == '\\') start.pop_back();
  while (path.compare(0, 3, "..\\") == 0) {
    path.erase(0, 3);
    std::size_t slash = start.rfind('\\');
    if (slash != std::string::npos) start.erase(slash);
  }
  return start + "\\" + path;
}

} // namespace ControlFiles2
