#include "song/text_encoding.h"

#include "song/lyrics_text.h"

#include <algorithm>
#include <cctype>

namespace songData {
namespace {

// Windows-1252 0x80 to 0x9F; the rest of the code page is Latin-1.
constexpr char16_t Windows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char16_t CharacterOf(unsigned char byte, TCodePage page) {
  if (page == TCodePage::cpWindows1252 && byte >= 0x80 && byte < 0xA0)
    return Windows1252High[byte - 0x80];
  return byte;
}

bool IsContinuation(unsigned char byte) {
  return (byte & 0xC0) == 0x80;
}

} // namespace

TCodePage CodePageNamed(std::string_view value) {
  std::string name;
  for (char c : value)
    if (std::isalnum(static_cast<unsigned char>(c)))
      name += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  // An empty value names nothing, which leaves the program's own UTF-8.
  if (name.empty() || name == "UTF8") return TCodePage::cpUtf8;
  if (name == "CP1252" || name == "WINDOWS1252") return TCodePage::cpWindows1252;
  if (name == "ISO88591" || name == "LATIN1") return TCodePage::cpLatin1;
  return TCodePage::cpUnsupported;
}

std::size_t Utf8SequenceLength(std::string_view bytes, std::size_t at) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(bytes[at + k]); };
  const unsigned char lead = byte(0);
  if (lead < 0x80) return 1;
  std::size_t length = 0;
  unsigned char low = 0x80, high = 0xBF; // the range of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;  // overlong
    if (lead == 0xED) high = 0x9F; // surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;  // overlong
    if (lead == 0xF4) high = 0x8F; // beyond U+10FFFF
  } else {
    return 0;
  }
  if (at + length > bytes.size() || byte(1) < low || byte(1) > high) return 0;
  for (std::size_t k = 2; k < length; ++k)
    if (!IsContinuation(byte(k))) return 0;
  return length;
}

bool IsValidUtf8(std::string_view bytes) {
  for (std::size_t i = 0; i < bytes.size();) {
    std::size_t length = Utf8SequenceLength(bytes, i);
    if (length == 0) return false;
    i += length;
  }
  return true;
}

std::string SingleByteToUtf8(std::string_view bytes, TCodePage page) {
  std::u16string text(bytes.size(), u'\0');
  for (std::size_t i = 0; i < bytes.size(); ++i)
    text[i] = CharacterOf(static_cast<unsigned char>(bytes[i]), page);
  return EncodeText(text);
}

std::string RepairedUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size();) {
    std::size_t length = Utf8SequenceLength(bytes, i);
    if (length > 0) {
      out.append(bytes.substr(i, length));
      i += length;
    } else {
      out += SingleByteToUtf8(bytes.substr(i, 1), TCodePage::cpWindows1252);
      ++i;
    }
  }
  return out;
}

std::optional<TUtf16Form> Utf16FormOf(std::string_view bytes) {
  if (bytes.substr(0, 2) == "\xFF\xFE") return TUtf16Form{false, 2};
  if (bytes.substr(0, 2) == "\xFE\xFF") return TUtf16Form{true, 2};
  const std::size_t pairs = std::min(bytes.size(), SniffedBytes) / 2;
  std::size_t zeroFirst = 0, zeroSecond = 0;
  for (std::size_t k = 0; k < pairs; ++k) {
    zeroFirst += bytes[2 * k] == '\0' ? 1 : 0;
    zeroSecond += bytes[2 * k + 1] == '\0' ? 1 : 0;
  }
  // Zero at one place of most pairs and hardly ever at the other.
  if (zeroSecond * 2 > pairs && zeroFirst * 16 <= pairs) return TUtf16Form{false, 0};
  if (zeroFirst * 2 > pairs && zeroSecond * 16 <= pairs) return TUtf16Form{true, 0};
  return std::nullopt;
}

std::string Utf16ToUtf8(std::string_view units, bool bigEndian) {
  std::u16string text;
  text.reserve(units.size() / 2 + 1);
  for (std::size_t i = 0; i + 1 < units.size(); i += 2) {
    const auto first = static_cast<unsigned char>(units[i]);
    const auto second = static_cast<unsigned char>(units[i + 1]);
    text += static_cast<char16_t>(bigEndian ? first << 8 | second : second << 8 | first);
  }
  if (units.size() % 2 != 0) text += u'\xFFFD';
  return EncodeText(text);
}

std::size_t Utf8CutLength(std::string_view text, std::size_t limit) {
  if (text.size() <= limit) return text.size();
  std::size_t cut = limit;
  while (cut > 0 && IsContinuation(static_cast<unsigned char>(text[cut])))
    --cut;
  return cut;
}

} // namespace songData
