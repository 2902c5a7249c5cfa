#include "song/undo_history.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace songData {

TUndoHistory History;

namespace {

constexpr std::size_t NoteWords = sizeof(TNote) / sizeof(std::uint32_t);
using TNoteWords = std::array<std::uint32_t, NoteWords>;
static_assert(sizeof(TNoteWords) == sizeof(TNote));

TNoteWords WordsOf(const TNote& note) {
  TNoteWords words;
  std::memcpy(words.data(), &note, sizeof note);
  return words;
}

// Byte for byte, so that replaying the deltas rebuilds every image exactly.
bool SameBytes(const TNote& a, const TNote& b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

} // namespace

TUndoImage::TUndoImage(const TSong& song)
    : Notes(song.Notes), BPM(static_cast<float>(song.BPM)),
      MusicOffset(static_cast<float>(song.MusicOffset)),
      VideoGap(static_cast<float>(song.VideoGap)) {}

void TUndoImage::RestoreTo(TSong& song) const {
  song.BPM = BPM;
  song.MusicOffset = MusicOffset;
  song.VideoGap = VideoGap;
  song.Notes = Notes;
}

TUndoDelta::TUndoDelta(const TUndoImage& before, const TUndoImage& after)
    : bpm_{before.BPM, after.BPM}, musicOffset_{before.MusicOffset, after.MusicOffset},
      videoGap_{before.VideoGap, after.VideoGap} {
  const std::vector<TNote>& a = before.Notes;
  const std::vector<TNote>& b = after.Notes;
  const std::size_t common = std::min(a.size(), b.size());
  std::size_t prefix = 0;
  while (prefix < common && SameBytes(a[prefix], b[prefix]))
    ++prefix;
  // A record inserted or erased in the middle leaves the records behind it alike.
  std::size_t suffix = 0;
  while (suffix < common - prefix && SameBytes(a[a.size() - 1 - suffix], b[b.size() - 1 - suffix]))
    ++suffix;
  const std::size_t tailAt = common - suffix;
  for (std::size_t i = prefix; i < tailAt; ++i) {
    if (SameBytes(a[i], b[i])) continue;
    const TNoteWords from = WordsOf(a[i]);
    const TNoteWords to = WordsOf(b[i]);
    changed_.push_back(static_cast<std::uint32_t>(i));
    const std::size_t maskAt = changed_.size();
    changed_.push_back(0);
    for (std::size_t w = 0; w < NoteWords; ++w) {
      if (from[w] == to[w]) continue;
      changed_[maskAt] |= 1u << w;
      changed_.push_back(from[w] ^ to[w]);
    }
  }
  changed_.shrink_to_fit();
  tailAt_ = static_cast<std::uint32_t>(tailAt);
  removed_.assign(a.begin() + tailAt, a.end() - suffix);
  added_.assign(b.begin() + tailAt, b.end() - suffix);
}

void TUndoDelta::ToggleChanged(TUndoImage& image) const {
  for (std::size_t i = 0; i < changed_.size();) {
    TNote& note = image.Notes[changed_[i]];
    const std::uint32_t mask = changed_[i + 1];
    i += 2;
    TNoteWords words = WordsOf(note);
    for (std::size_t w = 0; w < NoteWords; ++w) {
      if (mask & (1u << w)) words[w] ^= changed_[i++];
    }
    std::memcpy(static_cast<void*>(&note), words.data(), sizeof note);
  }
}

void TUndoDelta::ReplaceRun(std::vector<TNote>& notes, std::size_t at, std::size_t count,
                            const std::vector<TNote>& with) {
  const auto first = notes.begin() + static_cast<std::ptrdiff_t>(at);
  notes.insert(notes.erase(first, first + static_cast<std::ptrdiff_t>(count)), with.begin(),
               with.end());
}

void TUndoDelta::Forward(TUndoImage& image) const {
  ToggleChanged(image);
  ReplaceRun(image.Notes, tailAt_, removed_.size(), added_);
  image.BPM = bpm_[1];
  image.MusicOffset = musicOffset_[1];
  image.VideoGap = videoGap_[1];
}

void TUndoDelta::Backward(TUndoImage& image) const {
  ReplaceRun(image.Notes, tailAt_, added_.size(), removed_);
  ToggleChanged(image);
  image.BPM = bpm_[0];
  image.MusicOffset = musicOffset_[0];
  image.VideoGap = videoGap_[0];
}

std::size_t TUndoDelta::Bytes() const {
  return sizeof(*this) + changed_.capacity() * sizeof(std::uint32_t) +
         (removed_.capacity() + added_.capacity()) * sizeof(TNote);
}

void TUndoSlots::Reset(TUndoImage image) {
  image_ = std::move(image);
  imageSlot_ = 1;
  deltas_.clear();
}

const TUndoImage* TUndoSlots::operator[](int slot) {
  MoveTo(slot);
  return &image_;
}

void TUndoSlots::Append(TUndoDelta delta, TUndoImage image) {
  deltas_.push_back(std::move(delta));
  image_ = std::move(image);
  imageSlot_ = static_cast<int>(deltas_.size()) + 1;
}

void TUndoSlots::DropAfter(int slot) {
  if (imageSlot_ > slot) MoveTo(slot);
  deltas_.erase(deltas_.begin() + (slot - 1), deltas_.end());
}

void TUndoSlots::DropOldest() {
  if (imageSlot_ == 1) MoveTo(2);
  deltas_.erase(deltas_.begin());
  --imageSlot_;
}

std::size_t TUndoSlots::Bytes() const {
  std::size_t bytes = sizeof(*this) + image_.Notes.capacity() * sizeof(TNote) +
                      (deltas_.capacity() - deltas_.size()) * sizeof(TUndoDelta);
  for (const TUndoDelta& delta : deltas_)
    bytes += delta.Bytes();
  return bytes;
}

void TUndoSlots::MoveTo(int slot) {
  for (; imageSlot_ < slot; ++imageSlot_)
    deltas_[imageSlot_ - 1].Forward(image_);
  for (; imageSlot_ > slot; --imageSlot_)
    deltas_[imageSlot_ - 2].Backward(image_);
}

void PushUndo(TUndoHistory& h, const TSong& song, bool reset) {
  TUndoImage image(song);
  if (reset || h.UndoCount == 0) {
    h.Slots.Reset(std::move(image));
    h.UndoCount = 1;
    h.UndoPos = 1;
    return;
  }
  const TUndoImage& current = *h.Slots[h.UndoPos];
  if (current == image) return;
  TUndoDelta delta(current, image);
  h.Slots.DropAfter(h.UndoPos);
  h.Slots.Append(std::move(delta), std::move(image));
  h.UndoCount = h.UndoPos + 1;
  for (; h.UndoCount > std::max(h.Capacity, 0) + 1; --h.UndoCount)
    h.Slots.DropOldest();
  h.UndoPos = h.UndoCount;
}

bool CanUndo(const TUndoHistory& h) {
  return h.UndoPos > 1;
}

bool CanRedo(const TUndoHistory& h) {
  return h.UndoPos < h.UndoCount;
}

void Undo(TUndoHistory& h, TSong& song) {
  if (!CanUndo(h)) return;
  h.UndoPos -= 1;
  h.Slots[h.UndoPos]->RestoreTo(song);
}

void Redo(TUndoHistory& h, TSong& song) {
  if (!CanRedo(h)) return;
  h.UndoPos += 1;
  h.Slots[h.UndoPos]->RestoreTo(song);
}

void PushUndo(bool reset) {
  PushUndo(History, Song, reset);
}
bool CanUndo() {
  return CanUndo(History);
}
bool CanRedo() {
  return CanRedo(History);
}
void Undo() {
  Undo(History, Song);
}
void Redo() {
  Redo(History, Song);
}

} // namespace songData
