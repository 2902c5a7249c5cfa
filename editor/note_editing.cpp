#include "editor/note_editing.h"

#include "editor/view_coordinates.h"
#include "song/time_scale.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace editor {
namespace {

using songData::TNote;
using songData::TSong;

std::int32_t Narrow(std::int64_t value) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, INT32_MIN, INT32_MAX));
}

bool IsNoteMode(THoverMode mode) {
  return mode == hmLeftEdge || mode == hmRightEdge || mode == hmBody;
}

// The hovered note of the edited voice, which the note keys act on.
TNote* HoveredEditedNote(TSong& song, const TViewState& view) {
  TNote* note = IsNoteMode(view.HoverMode) ? HoveredNote(song, view) : nullptr;
  return note != nullptr && note->Voice == view.Voice ? note : nullptr;
}

// Rap kinds count as the sung kind they are spoken instead of.
songData::TNoteKind SungKind(songData::TNoteKind kind) {
  if (kind == songData::nkRap) return songData::nkNormal;
  if (kind == songData::nkRapGolden) return songData::nkGolden;
  return kind;
}

float SecondsOfBeat(const TSong& song, std::int64_t beat) {
  return static_cast<float>(songData::SongTimeOfBeat(song.BPM, static_cast<double>(beat)));
}

} // namespace

TNote* HoveredNote(TSong& song, const TViewState& view) {
  if (view.HoverIndex < 0 || std::size_t(view.HoverIndex) >= song.Notes.size()) return nullptr;
  return &song.Notes[std::size_t(view.HoverIndex)];
}

THit HitTest(const TSong& song, const TViewState& view, const TViewLayout& layout, std::int32_t x,
             std::int32_t y) {
  THit hit;
  const auto& notes = song.Notes;
  if (layout.GridTop < y && y < layout.GridBottom) {
    for (std::size_t i = 0; i < notes.size(); ++i) {
      if (!notes[i].IsLineBreak() || notes[i].Voice != view.Voice) continue;
      if (std::llabs(std::int64_t(x) - BeatToX(layout, notes[i].Start)) <= 2) {
        hit = {hmLineBreak, static_cast<std::int32_t>(i)};
        break;
      }
    }
  }
  // An edge zone is a pixel wider than the note is long in beats; zoomed out,
  // narrower by the zoom, so that the body stays within reach.
  const double zoneScale = std::min(1.0, layout.Horizontal.Factor());
  const double ppb = layout.Horizontal.PixelsPerBeat();
  for (std::size_t i = 0; i < notes.size(); ++i) {
    const TNote& note = notes[i];
    if (note.IsLineBreak() || note.Voice != view.Voice) continue;
    const std::int64_t top = NoteRowTop(layout, note.Pitch, song.Transpose);
    if (y < top || y >= top + layout.RowHeight) continue;
    const double x1 = BeatToX(layout, note.Start);
    const double length = note.Length;
    const double x2 = x1 + length * ppb;
    if (x < x1 || x >= x2) continue;
    const double zone = (length + 1) * zoneScale;
    hit = {hmBody, static_cast<std::int32_t>(i)};
    if (x <= x1 + zone) hit.Mode = hmLeftEdge;
    if (x >= x2 - zone) hit.Mode = hmRightEdge;
    break;
  }
  return hit;
}

std::int32_t AddNoteAt(TSong& song, const TViewState& view, const TViewLayout& layout,
                       std::int32_t x, std::int32_t y) {
  TNote note;
  note.Start = XToBeat(layout, x);
  note.Length = 0;
  note.Pitch = YToPitch(layout, y, song.Transpose);
  note.Kind = songData::nkNormal;
  note.Voice = view.Voice;
  note.Text = "~";
  song.Notes.push_back(note);
  return static_cast<std::int32_t>(song.Notes.size() - 1);
}

bool SetDraggedPitch(TSong& song, std::size_t dragged, std::int32_t pitch) {
  const std::int64_t shift = std::int64_t(pitch) - song.Notes[dragged].Pitch;
  if (shift == 0) return false;
  const std::uint8_t voice = song.Notes[dragged].Voice;
  for (std::size_t i = 0; i < song.Notes.size(); ++i)
    if (i != dragged && song.Notes[i].Selected && song.Notes[i].Voice == voice)
      song.Notes[i].Pitch = Narrow(song.Notes[i].Pitch + shift);
  song.Notes[dragged].Pitch = pitch;
  return true;
}

void MoveDraggedNotes(TSong& song, std::size_t dragged, std::int32_t d) {
  auto& notes = song.Notes;
  // The other voice of a duet sings at the same time and is never pushed.
  std::vector<std::size_t> voice;
  for (std::size_t i = 0; i < notes.size(); ++i)
    if (notes[i].Voice == notes[dragged].Voice) voice.push_back(i);
  const auto moves = [&](std::size_t i) { return i == dragged || notes[i].Selected; };
  const auto end = [&](std::size_t i) { return std::int64_t(notes[i].Start) + notes[i].Length; };
  if (d > 0) {
    for (std::size_t k = 0; k < voice.size(); ++k) {
      TNote& note = notes[voice[k]];
      if (moves(voice[k]))
        note.Start = Narrow(std::int64_t(note.Start) + d);
      else if (k > 0 && end(voice[k - 1]) > note.Start)
        note.Start = Narrow(end(voice[k - 1]));
    }
  } else if (d < 0) {
    for (std::size_t k = voice.size(); k-- > 0;) {
      TNote& note = notes[voice[k]];
      if (moves(voice[k]))
        note.Start = Narrow(std::int64_t(note.Start) + d);
      else if (k + 1 < voice.size() && end(voice[k]) > notes[voice[k + 1]].Start)
        note.Start = Narrow(std::int64_t(notes[voice[k + 1]].Start) - note.Length);
    }
  }
}

void NormaliseHovered(TSong& song, TViewState& view) {
  TNote* note = HoveredNote(song, view);
  if (note == nullptr) return;
  if (note->Length == 0) {
    note->Length = 1;
    if (view.HoverMode == hmLeftEdge) view.HoverMode = hmRightEdge;
  } else if (note->Length < 0) {
    note->Start = Narrow(std::int64_t(note->Start) + note->Length);
    note->Length = Narrow(-std::int64_t(note->Length));
    if (view.HoverMode == hmLeftEdge)
      view.HoverMode = hmRightEdge;
    else if (view.HoverMode == hmRightEdge)
      view.HoverMode = hmLeftEdge;
  }
}

void FinishGesture(TNote& note) {
  if (note.Length == 0) note.Kind = songData::nkLineBreak;
  if (note.Length < 0) {
    note.Start = Narrow(std::int64_t(note.Start) + note.Length);
    note.Length = Narrow(-std::int64_t(note.Length));
  }
}

bool DropDoubledLineBreak(TSong& song, std::size_t index, std::int32_t* follow) {
  const TNote& made = song.Notes[index];
  if (!made.IsLineBreak()) return false;
  for (std::size_t i = 0; i < song.Notes.size(); ++i) {
    const TNote& other = song.Notes[i];
    if (i != index && other.IsLineBreak() && other.Voice == made.Voice &&
        other.Start == made.Start) {
      songData::DeleteNote(song, index, follow);
      return true;
    }
  }
  return false;
}

void SelectRange(TSong& song, TViewState& view, TRangeMode mode) {
  const float lo = std::min(view.RangeStart, view.RangeEnd);
  const float hi = std::max(view.RangeStart, view.RangeEnd);
  view.SelectedCount = 0;
  for (TNote& note : song.Notes) {
    if (note.Voice != view.Voice) {
      view.SelectedCount += note.Selected ? 1 : 0;
      continue;
    }
    const float ts = SecondsOfBeat(song, note.Start);
    const float te = SecondsOfBeat(song, std::int64_t(note.Start) + note.Length);
    const bool inside = ts >= lo && te <= hi;
    if (mode == rmReplace) note.Selected = inside;
    if (mode == rmRemove) note.Selected = note.Selected && !inside;
    if (mode == rmAdd) note.Selected = note.Selected || inside;
    view.SelectedCount += note.Selected ? 1 : 0;
  }
}

std::int32_t CountSelected(const TSong& song) {
  return static_cast<std::int32_t>(std::count_if(song.Notes.begin(), song.Notes.end(),
                                                 [](const TNote& n) { return n.Selected; }));
}

void SelectVoice(TSong& song, TViewState& view) {
  for (TNote& note : song.Notes)
    note.Selected = note.Voice == view.Voice;
  view.SelectedCount = CountSelected(song);
}

void KeepSelectionInVoice(TSong& song, TViewState& view) {
  for (TNote& note : song.Notes)
    note.Selected = note.Selected && note.Voice == view.Voice;
  view.SelectedCount = CountSelected(song);
}

void ChooseVoice(TSong& song, TViewState& view, std::uint8_t voice) {
  view.Voice = voice;
  KeepSelectionInVoice(song, view);
  // The hovered record may belong to the voice left behind.
  view.HoverMode = hmNothing;
  view.HoverIndex = -1;
}

bool DeleteNotes(TSong& song, TViewState& view) {
  TNote* hovered = view.HoverMode != hmNothing ? HoveredNote(song, view) : nullptr;
  if (hovered != nullptr && hovered->Voice != view.Voice) hovered = nullptr;
  if (hovered == nullptr && view.SelectedCount == 0) return false;
  if (hovered == nullptr || hovered->Selected)
    songData::DeleteSelectedNotes(song, &view.HoverIndex);
  else
    songData::DeleteNote(song, std::size_t(view.HoverIndex), &view.HoverIndex);
  // What was hovered is gone or has moved; the next mouse move finds out.
  view.HoverMode = hmNothing;
  view.SelectedCount = CountSelected(song);
  return true;
}

bool ToggleGolden(TSong& song, const TViewState& view) {
  TNote* note = HoveredEditedNote(song, view);
  if (note == nullptr) return false;
  const songData::TNoteKind kind = SungKind(note->Kind);
  if (kind == songData::nkNormal || kind == songData::nkFreestyle)
    note->Kind = songData::nkGolden;
  else if (kind == songData::nkGolden)
    note->Kind = songData::nkNormal;
  return true;
}

bool ToggleFreestyle(TSong& song, const TViewState& view) {
  TNote* note = HoveredEditedNote(song, view);
  if (note == nullptr) return false;
  const songData::TNoteKind kind = SungKind(note->Kind);
  if (kind == songData::nkNormal || kind == songData::nkGolden)
    note->Kind = songData::nkFreestyle;
  else if (kind == songData::nkFreestyle)
    note->Kind = songData::nkNormal;
  return true;
}

bool ToggleRap(TSong& song, const TViewState& view) {
  TNote* note = HoveredEditedNote(song, view);
  if (note == nullptr) return false;
  switch (note->Kind) {
  case songData::nkNormal:
    note->Kind = songData::nkRap;
    break;
  case songData::nkRap:
    note->Kind = songData::nkNormal;
    break;
  case songData::nkGolden:
    note->Kind = songData::nkRapGolden;
    break;
  case songData::nkRapGolden:
    note->Kind = songData::nkGolden;
    break;
  default:
    break;
  }
  return true;
}

std::string TimeText(double seconds) {
  // Far beyond any song, but never beyond what the text can hold.
  const double limit = 1e12;
  const double ms0 = std::isfinite(seconds) ? std::min(std::fabs(seconds), limit) : 0.0;
  const auto ms = static_cast<long long>(std::nearbyint(ms0 * 1000));
  char text[40];
  std::snprintf(text, sizeof text, "%s%lld:%02lld.%03lld", seconds < 0 ? "-" : "", ms / 60000 % 60,
                ms / 1000 % 60, ms % 1000);
  return text;
}

} // namespace editor
