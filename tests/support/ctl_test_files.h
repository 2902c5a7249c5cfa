#pragma once
// Fixtures of the control file tests: a fresh folder per test, hand-made text
// and binary files in it, and a loaded file's entries listed as text.
#include "common/temp_folder.h"
#include "support/control_files.h"
#include "support/crypto.h"
#include "support/ctl_text_format.h"

#include <sstream>
#include <string>

// Little-endian chunk data, built field by field.
struct TChunkBytes {
  TChunkBytes& Byte(unsigned value) {
    Bytes += static_cast<char>(value);
    return *this;
  }
  TChunkBytes& Int32(std::int64_t value) {
    for (int k = 0; k < 4; ++k)
      Byte(static_cast<unsigned>(value >> (8 * k)) & 0xFF);
    return *this;
  }
  TChunkBytes& Length(unsigned length) { return Byte(length & 0xFF).Byte(length >> 8); }
  TChunkBytes& String(const std::string& text) {
    Length(static_cast<unsigned>(text.size()));
    Bytes += text;
    return *this;
  }
  std::string Bytes;
};

// A binary control file around the given plain body: key number 4242 at
// position 3 of the header.
inline std::string BinaryFile(std::string body, std::int32_t passwordNumber = 0) {
  const std::uint32_t position = 3, keyNumber = 4242, r = 1000;
  TChunkBytes header;
  header.Int32(r).Int32(r ^ (28301740 + position));
  header.Bytes.append(24, '\x5A');
  for (int k = 0; k < 4; ++k)
    header.Bytes[8 + position + k] = static_cast<char>(keyNumber >> (8 * k));
  auto matrix = crypto::BuildKeyMatrix(std::to_string(keyNumber + passwordNumber));
  crypto::EncipherBody(reinterpret_cast<unsigned char*>(body.data()), body.size(), matrix);
  return header.Bytes + body;
}

// "kind name value" per entry, nested entries indented by two.
inline void ListSection(const ControlFiles2::TCtlNode& node, int depth, std::string& out) {
  using namespace ControlFiles2;
  for (std::int32_t i = 0; i < node.ChildCount(); ++i) {
    const TCtlEntry* entry = node.Child(i)->Data;
    out += std::string(2 * depth, ' ');
    if (auto* comment = dynamic_cast<const TCommentLine*>(entry)) {
      out += "comment " + comment->Text;
    } else if (auto* include = dynamic_cast<const TInclude*>(entry)) {
      out += "include " + include->FileName;
    } else if (auto* section = dynamic_cast<const TSection*>(entry)) {
      out += "section " + section->Name + "\n";
      ListSection(*node.Child(i), depth + 1, out);
      continue;
    } else if (auto* key = dynamic_cast<const TNamedValue*>(entry)) {
      out += "key " + key->Name + " " + KeyValueText(*key);
    }
    out += "\n";
  }
}

inline std::string ListEntries(const ControlFiles2::TControlFile& file) {
  using namespace ControlFiles2;
  MyServis::TNamedLockGuard guard(State().ControlFilesLock);
  std::string out;
  ListSection(*FindControlFile(file.Handle), 0, out);
  return out;
}

// The message of the failure that the statement raises, or "" when none.
template <class F> std::string FailureOf(F&& statement) {
  try {
    statement();
  } catch (const std::exception& e) {
    return e.what();
  }
  return "";
}
