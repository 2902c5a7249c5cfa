#pragma once
// Notes for tests, written the way a song file lists them.
#include "song/note.h"

#include <string>

inline songData::TNote MakeNote(songData::TNoteKind kind, std::int32_t start,
                                std::int32_t length = 0, std::int32_t pitch = 0,
                                const std::string& text = "") {
  songData::TNote note;
  note.Kind = kind;
  note.Start = start;
  note.Length = length;
  note.Pitch = pitch;
  note.Text = text;
  return note;
}
