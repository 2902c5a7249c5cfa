#include "song/lyrics_text.h"

namespace songData {
namespace {

constexpr char16_t Replacement = 0xFFFD;

void AppendCodePoint(std::u16string& out, char32_t c) {
  if (c < 0x10000) {
    out += static_cast<char16_t>(c);
    return;
  }
  c -= 0x10000;
  out += static_cast<char16_t>(0xD800 + (c >> 10));
  out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

bool IsSyllableOf(const TNote& note, std::uint8_t voice) {
  return note.IsSyllable() && note.Voice == voice;
}

} // namespace

std::u16string DecodeText(std::string_view bytes) {
  std::u16string out;
  out.reserve(bytes.size());
  std::size_t i = 0;
  // The value of `count` sequence bytes after the lead, as far as they exist.
  auto take = [&](char32_t value, std::size_t count) {
    for (std::size_t k = 1; k <= count && i + k < bytes.size(); ++k)
      value = value * 64 + (static_cast<unsigned char>(bytes[i + k]) & 0x3F);
    i += count + 1;
    return value;
  };
  while (i < bytes.size()) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    if (b < 0x80) {
      out += static_cast<char16_t>(b);
      ++i;
    } else if ((b & 0xE0) == 0xC0) {
      out += static_cast<char16_t>(take(b & 0x1F, 1));
    } else if ((b & 0xF0) == 0xE0) {
      out += static_cast<char16_t>(take(b & 0x0F, 2));
    } else if ((b & 0xF8) == 0xF0 && i + 3 < bytes.size()) {
      char32_t c = take(b & 0x07, 3);
      if (c >= 0x10000 && c <= 0x10FFFF)
        AppendCodePoint(out, c);
      else
        out += Replacement;
    } else {
      out += Replacement;
      ++i;
    }
  }
  return out;
}

std::string EncodeText(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = Replacement;
    }
    AppendUtf8(out, c);
  }
  return out;
}

std::vector<std::u16string> LyricsLines(const TSong& song, std::uint8_t voice) {
  std::vector<std::u16string> lines;
  for (const TNote& note : song.Notes)
    if (IsSyllableOf(note, voice)) lines.push_back(DecodeText(note.Text.View()));
  return lines;
}

bool TakeBackLyrics(TSong& song, const std::vector<std::u16string>& lines, std::uint8_t voice) {
  bool changed = false;
  std::size_t line = 0;
  for (TNote& note : song.Notes) {
    if (line == lines.size()) break;
    if (!IsSyllableOf(note, voice)) continue;
    const std::u16string& typed = lines[line++];
    if (typed == DecodeText(note.Text.View())) continue;
    TNoteText text(EncodeText(typed));
    changed = changed || !(text == note.Text);
    note.Text = text;
  }
  return changed;
}

int SyllableOfLine(const TSong& song, int line, std::uint8_t voice) {
  if (line < 0) return -1;
  int seen = 0;
  for (std::size_t i = 0; i < song.Notes.size(); ++i) {
    if (!IsSyllableOf(song.Notes[i], voice)) continue;
    if (seen++ == line) return static_cast<int>(i);
  }
  return -1;
}

} // namespace songData
