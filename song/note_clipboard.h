#pragma once
// The clipboard's block of notes: a magic number, a count N and N records of
// 64 bytes laid out as TNote, little-endian, the voice in byte 14 (2 for the
// second, 0 for the first, as older blocks have it). It may come from another
// program, so reading trusts nothing in it.
#include "song/song_model.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace songData {

constexpr std::uint32_t NoteBlockMagic = 0x083CB233;
constexpr std::size_t NoteBlockHeader = 8;
constexpr std::size_t NoteRecordSize = 64;

// The selected records of the song, in array order.
std::string EncodeNoteBlock(const TSong& song);

// The records of a block. A wrong magic (or a block too short for one) gives
// nothing and sets valid false. Only whole records inside the block are read,
// N below zero reads none, a text length above 47 is read as 47, a control
// byte in a text (a CR or LF among them) becomes a space, a record of an unknown
// kind is skipped and a voice other than 2 is the first.
std::vector<TNote> DecodeNoteBlock(std::string_view block, bool& valid);

// The records as paste appends them: in the voice, moved so that the earliest
// start (or beat 100000, if all start later) lies at the beat under cursorTime.
std::vector<TNote> PlacedRecords(const TSong& song, std::vector<TNote> records, double cursorTime,
                                 std::uint8_t voice);

// Paste: the placed records are appended in block order, each winning over the
// voice's notes already there as ResolveOverlaps makes it; every other mark is
// cleared first. The followed index keeps pointing at its record, as there.
void PasteNotes(TSong& song, const std::vector<TNote>& records, double cursorTime,
                std::uint8_t voice = FirstVoice, std::int32_t* follow = nullptr);

} // namespace songData
