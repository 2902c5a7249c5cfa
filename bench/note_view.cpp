// The note view and the line display redrawn at full HD over a 5000-record
// song of about three and a half minutes with the spectrogram of four minutes
// of music: the whole picture is repainted at every redraw, so a redraw must
// stay well inside a playback timer tick, at every zoom.
#include "editor/note_view.h"

#include "editor/line_display.h"
#include "editor/timeline.h"
#include "editor/view_coordinates.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>
#include <cmath>
#include <string>

namespace {

using namespace songData;

// 300 BPM, one syllable per beat, a line break after every five.
const TSong& LongSong() {
  static const TSong song = [] {
    TSong s;
    s.BPM = 300;
    std::int32_t beat = 0;
    for (int i = 0; s.Notes.size() < 5000; ++i) {
      TNote note;
      if (i % 6 == 5) {
        note.Kind = nkLineBreak;
        note.Start = beat++;
      } else {
        note.Kind = i % 17 == 0 ? nkGolden : nkNormal;
        note.Start = beat++;
        note.Length = 1;
        note.Pitch = (i * 7) % 19;
        note.Text = "syl" + std::to_string(i % 100);
        note.Selected = i % 23 == 0;
      }
      s.Notes.push_back(note);
    }
    return s;
  }();
  return song;
}

// Four minutes of strips in changing colours.
const std::vector<analyser::TSpectrumStrip>& Strips() {
  static const std::vector<analyser::TSpectrumStrip> strips = [] {
    std::vector<analyser::TSpectrumStrip> s(31);
    std::uint32_t seed = 1;
    for (auto& strip : s)
      for (std::uint32_t& pixel : strip.Pixels) {
        seed = seed * 1664525u + 1013904223u;
        pixel = seed >> 8;
      }
    return s;
  }();
  return strips;
}

// Four minutes of a voice gliding over two octaves with vibrato, every fifth
// second unsure: the line over the notes at its busiest.
const pitch::TPitchContour& Contour() {
  static const pitch::TPitchContour contour = [] {
    pitch::TPitchContour c;
    for (int b = 0; b < 240 * 32; ++b) {
      const double tone = 12.0 * std::sin(b / 300.0) + 0.3 * std::sin(b / 1.5);
      c.Points.push_back({static_cast<float>(261.63 * std::pow(2.0, tone / 12.0)),
                          (b / 32) % 5 == 4 ? 0.1f : 0.9f});
    }
    return c;
  }();
  return contour;
}

// Scrolled to 100 s of the long song, the cursor and a range in sight.
editor::TViewState BusyView(double zoom) {
  editor::TViewState view;
  editor::ApplyBeatScale(view, LongSong().BPM);
  editor::ApplyTimeline(view, editor::TimelineOf(LongSong(), 240.0));
  editor::SetScrollPosition(view, 1000);
  view.Zoom = zoom;
  view.CursorTime = 104.0;
  view.RangeStart = 101.0f;
  view.RangeEnd = 103.0f;
  return view;
}

void BM_DrawView(benchmark::State& state) {
  const TSong& song = LongSong();
  const bool withContour = state.range(0) != 0;
  const editor::TViewState view = BusyView(1.0);
  QImage image(1920, 1080, QImage::Format_RGB32);
  for (auto _ : state) {
    editor::DrawView(image, song, view, Strips(), 250.0, withContour ? &Contour() : nullptr);
    benchmark::DoNotOptimize(image.constBits());
  }
}
BENCHMARK(BM_DrawView)->ArgName("contour")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Zoomed out, more notes, beats and strips lie on the view; zoomed in, fewer
// but wider. With the sung pitch, the busiest picture.
void BM_DrawViewZoomed(benchmark::State& state) {
  const TSong& song = LongSong();
  const editor::TViewState view = BusyView(state.range(0) / 100.0);
  QImage image(1920, 1080, QImage::Format_RGB32);
  for (auto _ : state) {
    editor::DrawView(image, song, view, Strips(), 250.0, &Contour());
    benchmark::DoNotOptimize(image.constBits());
  }
}
BENCHMARK(BM_DrawViewZoomed)
    ->ArgName("percent")
    ->Arg(25)
    ->Arg(50)
    ->Arg(100)
    ->Arg(200)
    ->Arg(400)
    ->Arg(800)
    ->Unit(benchmark::kMillisecond);

// One step of Ctrl+wheel about the middle of the view, in and out in turn, and
// the redraw it calls for.
void BM_ZoomStepWithRedraw(benchmark::State& state) {
  const TSong& song = LongSong();
  editor::TViewState view = BusyView(1.0);
  QImage image(1920, 1080, QImage::Format_RGB32);
  int notch = 120;
  for (auto _ : state) {
    editor::TZoom zoom = editor::LayoutOf(view, image.width(), image.height()).Horizontal;
    zoom.ZoomBy(editor::WheelZoomRatio(notch), 960);
    view.Zoom = zoom.Factor();
    editor::SetScrollPosition(view, zoom.ScrollPosition());
    editor::DrawView(image, song, view, Strips(), 250.0, &Contour());
    benchmark::DoNotOptimize(image.constBits());
    notch = -notch;
  }
}
BENCHMARK(BM_ZoomStepWithRedraw)->Unit(benchmark::kMillisecond);

void BM_DrawLineDisplay(benchmark::State& state) {
  const TSong& song = LongSong();
  QImage image(1675, 64, QImage::Format_RGB32);
  for (auto _ : state) {
    editor::DrawLineDisplay(image, song, 104.0);
    benchmark::DoNotOptimize(image.constBits());
  }
}
BENCHMARK(BM_DrawLineDisplay)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
