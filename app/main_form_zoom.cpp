// Zoom of the note view: across about the play cursor or the pointer, the row
// height about the pointer, the whole song at once; the settings remember it.
#include "app/image_widget.h"
#include "app/main_form.h"
#include "editor/follow_cursor.h"
#include "editor/view_coordinates.h"
#include "song/time_scale.h"
#include "support/program_settings.h"

#include <algorithm>
#include <cmath>

namespace app {
namespace {

// The share of the width the fitted song takes, the rest split either side.
constexpr double FitShare = 0.95;
// The top row's tone stays where every tone has a row name and a key nearby.
constexpr std::int32_t LowestTopTone = -12;
constexpr std::int32_t HighestTopTone = 60;
// The tone in the middle of the rows at the start.
constexpr double MiddleTone = editor::TopRowTone - 17.5;

int Percent(double factor) {
  return editor::Nearest(factor * 100);
}

// The song time from the first note's start, or the music's, to the last end.
std::pair<double, double> SongSpan(const songData::TSong& song, double musicDuration) {
  double first = INFINITY, last = -INFINITY;
  for (const songData::TNote& note : song.Notes) {
    const double start = songData::SongTimeOfBeat(song.BPM, note.Start);
    const double end = songData::SongTimeOfBeat(song.BPM, double(note.Start) + note.Length);
    first = std::min({first, start, end});
    last = std::max({last, start, end});
  }
  if (song.MusicLoaded && musicDuration > 0) {
    first = std::min(first, song.MusicOffset);
    last = std::max(last, song.MusicOffset + musicDuration);
  }
  return {first, last};
}

// Kept in the settings at every step, so that the next start shows the same.
void RememberZoom(ControlFiles2::TControlFile* settings, const editor::TViewState& view) {
  if (settings)
    ProgramSettings::StoreZoomPercent(*settings, Percent(view.Zoom), Percent(view.RowZoom));
}

} // namespace

void TMainForm::RestoreZoom() {
  if (!settings_) return;
  View.Zoom = ProgramSettings::ZoomPercent(*settings_) / 100.0;
  View.RowZoom = ProgramSettings::RowZoomPercent(*settings_) / 100.0;
  // The rows of the start stay centred on the same tone.
  View.TopTone = editor::Nearest(MiddleTone + 17.5 / View.RowZoom);
}

void TMainForm::ZoomAbout(double ratio, int x) {
  const editor::TViewLayout layout = Layout();
  editor::TZoom zoom = layout.Horizontal;
  // While the cursor is followed, it is the point that stays put.
  const bool playing = IsPlaying();
  if (playing) {
    View.CursorTime = HeardSongTime();
    x = editor::SecondsToX(layout, View.CursorTime);
  }
  zoom.ZoomBy(ratio, x);
  // Steps of the keys land on 100 %, 200 % ... exactly, not a rounding away.
  const double step = editor::ZoomStep(zoom.Factor(), 0);
  if (std::fabs(step / zoom.Factor() - 1) < 1e-9) zoom.ZoomTo(step, x);
  View.Zoom = zoom.Factor();
  editor::SetScrollPosition(View, zoom.ScrollPosition());
  if (playing) {
    const std::int32_t cx = editor::SecondsToX(Layout(), View.CursorTime);
    if (cx < 0 || cx >= MainImg->width()) editor::FollowCursor(View, MainImg->width(), true, true);
  }
  RememberZoom(settings_.get(), View);
  ScrollTo(View.ScrollPosition);
}

void TMainForm::RowZoomAbout(double ratio, int y) {
  const editor::TViewLayout layout = Layout();
  y = std::clamp(y, layout.GridTop, std::max(layout.GridTop, layout.GridBottom - 1));
  const double rows = double(y - layout.GridTop) / layout.RowHeight;
  const double tone = layout.TopTone - rows;
  View.RowZoom = std::clamp(View.RowZoom * ratio, editor::LeastRowZoom, editor::MostRowZoom);
  // The tone under the pointer keeps its place within a row.
  const editor::TViewLayout zoomed = Layout();
  View.TopTone = std::clamp(editor::Nearest(tone + double(y - layout.GridTop) / zoomed.RowHeight),
                            LowestTopTone, HighestTopTone);
  RememberZoom(settings_.get(), View);
  Commit(chView, false);
}

void TMainForm::ZoomInExecute() {
  ZoomAbout(editor::ZoomStep(View.Zoom, 1) / Layout().Horizontal.Factor(),
            editor::SecondsToX(Layout(), View.CursorTime));
}

void TMainForm::ZoomOutExecute() {
  ZoomAbout(editor::ZoomStep(View.Zoom, -1) / Layout().Horizontal.Factor(),
            editor::SecondsToX(Layout(), View.CursorTime));
}

void TMainForm::ZoomResetExecute() {
  View.RowZoom = 1.0;
  View.TopTone = editor::TopRowTone;
  ZoomAbout(1.0 / Layout().Horizontal.Factor(), editor::SecondsToX(Layout(), View.CursorTime));
}

void TMainForm::FitSongExecute() {
  const auto [first, last] = SongSpan(context_.Song, songData::MusicDuration(context_.Music));
  const double width = MainImg->width();
  const double pixelsPerSecond = View.PixelsPerSecond;
  if (!(last > first) || !(pixelsPerSecond > 0) || width <= 0) return;
  const double factor = width * FitShare / ((last - first) * pixelsPerSecond);
  editor::TZoom zoom(editor::TBeatScale{View.PixelsPerBeat, pixelsPerSecond}, factor, 0.0);
  // Centred when the song fits, else from its start.
  const double shown = width / zoom.PixelsPerSecond();
  const double left = shown > last - first ? (first + last - shown) / 2 : first;
  View.Zoom = zoom.Factor();
  editor::SetScrollPosition(View, left * 10);
  RememberZoom(settings_.get(), View);
  ScrollTo(View.ScrollPosition);
}

} // namespace app
