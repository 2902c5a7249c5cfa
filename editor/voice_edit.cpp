#include "editor/voice_edit.h"

#include "song/note_clipboard.h"

#include <utility>

namespace editor {
namespace {

using songData::TNote;
using songData::TSong;

// The voice's records as the edit left them go back into their old slots in
// order; records beyond those slots are appended, slots left over are dropped.
void MergeVoice(TSong& song, std::vector<TNote>& all, const std::vector<std::size_t>& slots,
                std::int32_t otherHover, std::uint8_t voice) {
  std::vector<TNote> part = std::move(song.Notes);
  const std::int32_t partHover = song.HoverIndex;
  std::int32_t hover = otherHover;
  for (std::size_t k = 0; k < part.size(); ++k) {
    part[k].Voice = voice;
    const std::size_t slot = k < slots.size() ? slots[k] : all.size();
    if (std::int64_t(k) == partHover) hover = static_cast<std::int32_t>(slot);
    if (k < slots.size())
      all[slot] = part[k];
    else
      all.push_back(part[k]);
  }
  for (std::size_t k = slots.size(); k-- > part.size();) {
    all.erase(all.begin() + static_cast<std::ptrdiff_t>(slots[k]));
    if (hover > std::int64_t(slots[k])) --hover;
  }
  song.Notes = std::move(all);
  song.HoverIndex = hover;
}

} // namespace

void EditVoice(TSong& song, std::uint8_t voice, const std::function<void(TSong&)>& edit) {
  std::vector<TNote> all = std::move(song.Notes);
  song.Notes.clear();
  std::vector<std::size_t> slots;
  const std::int32_t hover = song.HoverIndex;
  std::int32_t otherHover = hover >= 0 && std::size_t(hover) < all.size() ? hover : -1;
  std::int32_t partHover = -1;
  for (std::size_t i = 0; i < all.size(); ++i) {
    if (all[i].Voice != voice) continue;
    if (std::int64_t(i) == hover) {
      partHover = static_cast<std::int32_t>(slots.size());
      otherHover = -1;
    }
    slots.push_back(i);
    song.Notes.push_back(all[i]);
  }
  song.HoverIndex = partHover;
  try {
    edit(song);
  } catch (...) {
    MergeVoice(song, all, slots, otherHover, voice);
    throw;
  }
  MergeVoice(song, all, slots, otherHover, voice);
}

void ResolveHoveredOverlaps(TSong& song) {
  if (song.HoverIndex < 0 || std::size_t(song.HoverIndex) >= song.Notes.size()) return;
  EditVoice(song, song.Notes[std::size_t(song.HoverIndex)].Voice,
            [](TSong& part) { songData::ResolveOverlaps(part, std::size_t(part.HoverIndex)); });
}

void PasteIntoVoice(TSong& song, const std::vector<TNote>& records, double cursorTime,
                    std::uint8_t voice) {
  EditVoice(song, voice, [&](TSong& part) { songData::PasteNotes(part, records, cursorTime); });
}

} // namespace editor
