#include "song/song_writer.h"

#include "song/song_loader.h"
#include "song/song_tags.h"
#include "song/time_scale.h"
#include "support/file_io.h"
#include "support/number_text.h"

#include <numeric>

namespace songData {
namespace {

bool WritesBefore(const TNote& a, const TNote& b) {
  return a.Start < b.Start || (a.Start == b.Start && a.Kind > b.Kind);
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
    out += note.Text.View();
  }
  out += "\r\n";
}

} // namespace

std::vector<std::size_t> WriteOrder(const std::vector<TNote>& notes) {
  std::vector<std::size_t> order(notes.size());
  std::iota(order.begin(), order.end(), 0);
  // Once the records are in Start order, as every load leaves them, the procedure
  // only ever exchanges records within a run of equal starts.
  bool byStart = std::is_sorted(notes.begin(), notes.end(),
                                [](const TNote& a, const TNote& b) { return a.Start < b.Start; });
  if (!byStart) {
    ExchangeSort(notes, order, 0, notes.size());
    return order;
  }
  for (std::size_t first = 0; first < notes.size();) {
    std::size_t last = first + 1;
    while (last < notes.size() && notes[last].Start == notes[first].Start)
      ++last;
    if (last - first > 1) ExchangeSort(notes, order, first, last);
    first = last;
  }
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
    out += tag;
    out += "\r\n";
  }
  for (std::size_t i : WriteOrder(song.Notes))
    AppendNoteLine(out, song.Notes[i]);
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
    // An existing ".bak" stays; a failed backup is silent.
    if (!backup.empty() && MyServis::RegularFileExists(path))
      MyServis::KeepCopyNoReplace(path, backup);
  }
  file.Commit();
  song.BackupPending = false;
}

void SaveSong() {
  SaveSong(Song);
}

} // namespace songData
