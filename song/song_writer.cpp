#include "song/song_writer.h"

#include "song/one_line_text.h"
#include "song/song_loader.h"
#include "song/song_tags.h"
#include "song/time_scale.h"
#include "support/file_io.h"
#include "support/number_text.h"

#include <algorithm>
#include <numeric>

namespace songData {
namespace {

// At equal starts the higher rank comes first: a line break, a freestyle, a
// golden, a normal note. Rap ranks as normal and golden rap as golden.
int RankOf(TNoteKind kind) {
  switch (kind) {
  case nkRap:
    return nkNormal;
  case nkRapGolden:
    return nkGolden;
  default:
    return kind;
  }
}

bool WritesBefore(const TNote& a, const TNote& b) {
  return a.Start < b.Start || (a.Start == b.Start && RankOf(a.Kind) > RankOf(b.Kind));
}

bool IsSecondVoice(const TNote& note) {
  return note.Voice == SecondVoice;
}

// Each position takes the first smallest of the records after it, exchanging
// every record on the way that is smaller than the one it holds. Records that
// compare equal can be reordered by this, so the exact procedure is kept.
void ExchangeSort(const std::vector<TNote>& notes, std::vector<std::size_t>& order,
                  std::size_t first, std::size_t last) {
  for (std::size_t p = first; p < last; ++p) {
    for (std::size_t q = p + 1; q < last; ++q) {
      if (WritesBefore(notes[order[q]], notes[order[p]])) std::swap(order[p], order[q]);
    }
  }
}

// Orders order[first, last), positions of Notes in array order.
void OrderPart(const std::vector<TNote>& notes, std::vector<std::size_t>& order, std::size_t first,
               std::size_t last) {
  // Once the records are in Start order, as every load leaves them, the procedure
  // only ever exchanges records within a run of equal starts.
  bool byStart =
      std::is_sorted(order.begin() + first, order.begin() + last,
                     [&](std::size_t a, std::size_t b) { return notes[a].Start < notes[b].Start; });
  if (!byStart) {
    ExchangeSort(notes, order, first, last);
    return;
  }
  for (std::size_t from = first; from < last;) {
    std::size_t to = from + 1;
    while (to < last && notes[order[to]].Start == notes[order[from]].Start)
      ++to;
    if (to - from > 1) ExchangeSort(notes, order, from, to);
    from = to;
  }
}

void AppendNoteLine(std::string& out, const TNote& note) {
  switch (note.Kind) {
  case nkNormal:
    out += ": ";
    break;
  case nkGolden:
    out += "* ";
    break;
  case nkFreestyle:
    out += "F ";
    break;
  case nkLineBreak:
    out += "- ";
    break;
  case nkRap:
    out += "R ";
    break;
  case nkRapGolden:
    out += "G ";
    break;
  default:
    break;
  }
  out += std::to_string(note.Start);
  if (note.Kind != nkLineBreak) {
    out += ' ';
    out += std::to_string(note.Length);
    out += ' ';
    out += std::to_string(note.Pitch);
    out += ' ';
    AppendOneLine(out, note.Text.View());
  }
  out += "\r\n";
}

} // namespace

std::vector<std::size_t> WriteOrder(const std::vector<TNote>& notes) {
  std::vector<std::size_t> order(notes.size());
  std::iota(order.begin(), order.end(), 0);
  auto secondVoice = std::stable_partition(order.begin(), order.end(),
                                           [&](std::size_t i) { return !IsSecondVoice(notes[i]); });
  const auto split = static_cast<std::size_t>(secondVoice - order.begin());
  OrderPart(notes, order, 0, split);
  OrderPart(notes, order, split, order.size());
  return order;
}

std::string SongFileText(TSong& song) {
  SetTag(song.Tags, "#BPM", MyServis::FormatGeneral(song.BPM, 5, ','));
  SetTag(song.Tags, "#GAP", MyServis::FormatRounded(GapMillisecondsOf(song.MusicOffset)));
  SetTag(song.Tags, "#VIDEOGAP", MyServis::FormatGeneral(song.VideoGap, 6, ','));
  std::string out;
  out.reserve(64 * (song.Tags.size() + song.Notes.size()) + 8);
  if (song.UseBOM) out += "\xEF\xBB\xBF";
  for (const std::string& tag : song.Tags) {
    AppendOneLine(out, tag);
    out += "\r\n";
  }
  const bool duet = std::any_of(song.Notes.begin(), song.Notes.end(), IsSecondVoice);
  if (duet) out += "P1\r\n";
  bool secondVoice = false;
  for (std::size_t i : WriteOrder(song.Notes)) {
    if (duet && !secondVoice && IsSecondVoice(song.Notes[i])) {
      out += "P2\r\n";
      secondVoice = true;
    }
    AppendNoteLine(out, song.Notes[i]);
  }
  out += "E\r\n";
  return out;
}

void SaveSong(TSong& song) {
  // A song reached through a link is saved into the file the link leads to.
  std::string path = MyServis::ResolvedPath(song.SongDir + "/" + song.SongFileName);
  std::string text = SongFileText(song);
  MyServis::TAtomicFile file(path);
  file.Write(text);
  if (song.BackupPending) {
    std::string backup = ReplaceTxtExtension(path, ".bak");
    if (backup.empty()) backup = path + ".bak";
    // An existing ".bak" stays; a failed backup is silent.
    if (MyServis::RegularFileExists(path)) MyServis::KeepCopyNoReplace(path, backup);
  }
  file.Commit();
  song.BackupPending = false;
}

void SaveSong() {
  SaveSong(Song);
}

} // namespace songData
