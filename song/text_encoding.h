#pragma once
// Song files written by other tools in other encodings, brought to the UTF-8 that
// the model, the memo and the writer work in.
#include <optional>
#include <string>
#include <string_view>

namespace songData {

enum class TCodePage {
  cpUtf8,
  cpWindows1252,
  cpLatin1,
  cpUnsupported,
};

// What an "#ENCODING" value names: blanks, "-", "_" and letter case do not matter,
// so "cp1252", "Windows-1252", "ISO-8859-1", "Latin1" and "UTF8" are all known.
TCodePage CodePageNamed(std::string_view value);

// The length of the well-formed UTF-8 sequence at `at` (no overlong forms, no
// surrogates, nothing beyond U+10FFFF), or 0.
std::size_t Utf8SequenceLength(std::string_view bytes, std::size_t at);
bool IsValidUtf8(std::string_view bytes);

// Every byte as the character it stands for in a single-byte code page. The five
// bytes Windows-1252 leaves undefined stand for the control characters of their value.
std::string SingleByteToUtf8(std::string_view bytes, TCodePage page);

// Well-formed UTF-8 sequences kept and every other byte read as Windows-1252: a
// file of that code page, or one that an earlier edit left partly in UTF-8.
std::string RepairedUtf8(std::string_view bytes);

// How a UTF-16 file is told: by its byte order mark, or, without one, by its
// zero bytes among the first SniffedBytes: in text that is mostly ASCII, as a
// song's header and note lines are, one byte of each pair is zero.
struct TUtf16Form {
  bool BigEndian = false;
  std::size_t MarkSize = 0; // 2, or 0 without a mark
};
constexpr std::size_t SniffedBytes = 4096;
std::optional<TUtf16Form> Utf16FormOf(std::string_view bytes);

// UTF-16 code units after the byte order mark; an unpaired surrogate or an odd
// last byte becomes U+FFFD.
std::string Utf16ToUtf8(std::string_view units, bool bigEndian);

// The longest start of a UTF-8 text within `limit` bytes that ends on a character
// boundary.
std::size_t Utf8CutLength(std::string_view text, std::size_t limit);

} // namespace songData
