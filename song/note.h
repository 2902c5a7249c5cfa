#pragma once
// One note or line break of a song: a plain 64-byte value with its text inline,
// so that copying the notes array (undo, clipboard) is a plain copy.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace songData {

enum TNoteKind : std::uint8_t {
  nkNormal = 1,
  nkGolden = 2,
  nkFreestyle = 3,
  nkLineBreak = 4,
  nkRap = 5,       // spoken on the beat, "R" in a file
  nkRapGolden = 6, // "G"
};

// The two singers of a duet; a song of one singer has voice 1 only.
constexpr std::uint8_t FirstVoice = 1;
constexpr std::uint8_t SecondVoice = 2;

// A byte string of at most 47 bytes; longer texts are cut wherever they are stored.
struct TNoteText {
  static constexpr std::size_t Capacity = 47;

  std::uint8_t Length = 0;
  char Bytes[Capacity] = {};

  TNoteText() = default;
  TNoteText(std::string_view text) { Assign(text); }

  TNoteText& operator=(std::string_view text) {
    Assign(text);
    return *this;
  }

  // A UTF-8 text is cut on a character boundary, so no cut leaves half a
  // character behind; other bytes are cut at 47.
  void Assign(std::string_view text);
  std::string_view View() const { return {Bytes, Length}; }
  std::string Str() const { return std::string(View()); }
  bool operator==(const TNoteText& other) const { return View() == other.View(); }
};

struct TNote {
  std::int32_t Start = 0;
  std::int32_t Length = 0;
  std::int32_t Pitch = 0;
  TNoteKind Kind = nkNormal;
  bool Selected = false;
  std::uint8_t Voice = FirstVoice; // in what was spare room, so the record stays 64 bytes
  TNoteText Text;

  bool IsLineBreak() const { return Kind == nkLineBreak; }
  // A sung, golden, freestyle or rap note: a syllable of the lyrics.
  bool IsSyllable() const {
    return Kind == nkNormal || Kind == nkGolden || Kind == nkFreestyle || Kind == nkRap ||
           Kind == nkRapGolden;
  }
  bool operator==(const TNote& other) const = default;
};

static_assert(sizeof(TNote) == 64, "TNote is the 64-byte record of the clipboard and undo");
static_assert(std::is_trivially_copyable_v<TNote>);

} // namespace songData
