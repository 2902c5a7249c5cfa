#include "editor/note_view.h"

#include "editor/canvas.h"
#include "editor/pitch_line.h"
#include "editor/view_coordinates.h"
#include "song/lyrics_text.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace editor {
namespace {

using analyser::TSpectrumStrip;
using songData::TNote;
using songData::TSong;

constexpr std::uint32_t GridColour = 0x202020;
constexpr std::uint32_t BandColour = 0x63706C;
constexpr std::uint32_t BarLineColour = 0x406070;
constexpr std::uint32_t BeatLineColour = 0x000000;
constexpr std::uint32_t RowLineColour = 0x405060;
constexpr std::uint32_t HoveredRowLineColour = 0x607080;
constexpr std::uint32_t LineBreakColour = 0x6060A0;
constexpr std::uint32_t NoteOutlineColour = 0x408070;
constexpr std::uint32_t SelectedOutlineColour = 0x40FF70;
constexpr std::uint32_t NormalFill = 0x80A090;
constexpr std::uint32_t GoldenFill = 0xDFCF90;
constexpr std::uint32_t FreestyleFill = 0xC0B0B0;
// Cool blues, apart from the music's reds and yellows under them.
constexpr std::uint32_t RapFill = 0x6098D8;
constexpr std::uint32_t RapGoldenFill = 0xB898DF;
// Added to a fill or a line break's pen; no channel of any fill passes DF.
constexpr std::uint32_t HoverTint = 0x202020;
constexpr std::uint32_t CursorColour = 0x80FFFF;
constexpr std::uint32_t RangeColour = 0xFFE040;
constexpr std::uint32_t ToneColumnColour = 0x2C3C38;
constexpr std::uint32_t TextColour = 0xFFFFFF;

constexpr std::int32_t GridTop = 10;
// Rows of a view of any height leave this much room for the bands.
constexpr std::int32_t BandsHeight = 60;
constexpr std::int32_t RowsToFit = 35;
constexpr double StripSeconds = 8.0;
constexpr std::int64_t SyllableCodeUnitWidth = 7;
// Below the grid: the bar numbers right under it, the syllables under them.
constexpr std::int32_t NumberTop = 1;
constexpr std::int32_t SyllableTop = 18;
constexpr std::int32_t ToneColumnWidth = 20;
constexpr std::int32_t MostCircledNotes = 20;
constexpr std::int32_t LowestCountedTone = -12;
constexpr std::int32_t HighestCountedTone = 40;

using TToneCounts = std::array<std::int32_t, HighestCountedTone - LowestCountedTone + 1>;

// The voice not being edited: halfway to what lies behind it.
constexpr std::uint32_t Dimmed(std::uint32_t colour, std::uint32_t background) {
  std::uint32_t mixed = 0;
  for (int shift : {0, 8, 16})
    mixed |= (((colour >> shift & 0xFF) + (background >> shift & 0xFF)) / 2) << shift;
  return mixed;
}

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
  return a / b - (a % b != 0 && (a < 0) != (b < 0));
}

std::int64_t CeilDiv(std::int64_t a, std::int64_t b) {
  return -FloorDiv(-a, b);
}

// The hovered record, or -1 when the index lies outside Notes.
std::int64_t HoveredIndex(const TSong& song) {
  const bool inside = song.HoverIndex >= 0 && std::size_t(song.HoverIndex) < song.Notes.size();
  return inside ? song.HoverIndex : -1;
}

void UpdateLayout(TViewState& view, int width, int height) {
  view.ViewOffset = Nearest(view.ScrollPosition * view.PixelsPerSecond / 10);
  view.ScrollPage = Nearest(width * 10.0 / view.PixelsPerSecond);
  // At least one pixel, so that a view lower than the bands still maps y to rows.
  view.RowHeight = std::max(1, (height - BandsHeight) / RowsToFit);
  view.RowCount = std::max(0, (height - BandsHeight) / view.RowHeight);
  view.GridTop = GridTop;
  view.GridBottom = view.RowHeight * view.RowCount + view.GridTop + 1;
}

void DrawStrips(TCanvas& canvas, const TSong& song, const TViewState& view,
                const std::vector<TSpectrumStrip>& strips) {
  const std::int64_t lead = Nearest(0.01 * view.PixelsPerSecond);
  const std::int64_t width = Nearest(StripSeconds * view.PixelsPerSecond);
  const std::int64_t bottom = view.GridTop + std::int64_t(analyser::StripHeight) * view.RowHeight;
  for (std::size_t i = 0; i < strips.size(); ++i) {
    const double start = StripSeconds * double(i) + song.MusicOffset;
    const std::int64_t x =
        std::int64_t(Nearest(start * view.PixelsPerSecond)) - view.ViewOffset - lead;
    if (x > canvas.Width()) break;
    if (x + width < 0) continue;
    // The strip's own pixels, not a copy: its analyser may still be writing them.
    canvas.StretchPixels(x, view.GridTop, x + width, bottom, strips[i].Pixels.data(),
                         analyser::StripWidth, analyser::StripHeight);
  }
}

void DrawBands(TCanvas& canvas, const TViewState& view) {
  canvas.FillBox(0, 0, canvas.Width(), view.GridTop, BandColour);
  canvas.FillBox(0, view.GridBottom, canvas.Width(), canvas.Height(), BandColour);
}

void DrawBeatLines(TCanvas& canvas, const TSong& song, const TViewState& view,
                   double timelineLength) {
  const QFont font = PointFont("Tahoma", 8);
  const std::int64_t ppb = view.PixelsPerBeat;
  std::int64_t first = 0;
  std::int64_t last = Nearest(song.BPM * 4 * (timelineLength + 10) / 60);
  // Only the beats that fall on the view.
  if (ppb > 0) {
    first = std::max<std::int64_t>(0, CeilDiv(view.ViewOffset, ppb));
    last = std::min(last, FloorDiv(std::int64_t(canvas.Width()) + view.ViewOffset, ppb));
  } else {
    last = std::min<std::int64_t>(last, 0);
  }
  for (std::int64_t n = first; n <= last; ++n) {
    const std::int64_t x = n * ppb - view.ViewOffset;
    if (x < 0 || x > canvas.Width()) continue;
    std::uint32_t pen = BeatLineColour;
    if (n % 4 == 0) {
      pen = BarLineColour;
      if (ppb > 20 || n % 8 == 0) {
        const QString number = QString::number(n);
        canvas.Text(x - 3 * number.size(), view.GridBottom + NumberTop, number, font, TextColour);
      }
    }
    canvas.VerticalLine(x, view.GridTop - 2, view.GridBottom + 2, pen);
  }
}

void DrawRowLines(TCanvas& canvas, const TViewState& view) {
  for (std::int32_t v = 0; v <= view.RowCount; ++v) {
    const std::int64_t y = std::int64_t(v) * view.RowHeight + view.GridTop;
    // The two lines that bound the hovered row.
    const bool hovered = RowTone(v) == view.HoverTone || RowTone(v) + 1 == view.HoverTone;
    canvas.HorizontalLine(0, canvas.Width(), y, hovered ? HoveredRowLineColour : RowLineColour);
  }
}

void DrawLineBreak(TCanvas& canvas, const TViewState& view, std::int64_t x, bool hovered,
                   bool dim) {
  if (x < 0 || x >= canvas.Width()) return;
  std::uint32_t pen = hovered ? LineBreakColour + HoverTint : LineBreakColour;
  if (dim) pen = Dimmed(pen, GridColour);
  canvas.DottedVerticalLine(x - 1, view.GridTop, view.GridBottom, pen);
  canvas.DottedVerticalLine(x + 1, view.GridTop, view.GridBottom, pen);
}

std::uint32_t NoteFill(const TNote& note, bool hovered) {
  std::uint32_t fill = NormalFill;
  switch (note.Kind) {
  case songData::nkGolden:
    fill = GoldenFill;
    break;
  case songData::nkFreestyle:
    fill = FreestyleFill;
    break;
  case songData::nkRap:
    fill = RapFill;
    break;
  case songData::nkRapGolden:
    fill = RapGoldenFill;
    break;
  default:
    break;
  }
  return hovered ? fill + HoverTint : fill;
}

void DrawNoteBox(TCanvas& canvas, const TSong& song, const TViewState& view, const TNote& note,
                 std::int64_t x1, std::int64_t x2, bool hovered, bool dim) {
  const std::int64_t y = NoteRowTop(view, note.Pitch, song.Transpose);
  if (y < view.GridTop || y + view.RowHeight >= view.GridBottom) return;
  const bool selected = note.Selected && !dim;
  std::uint32_t pen = selected ? SelectedOutlineColour : NoteOutlineColour;
  std::uint32_t brush = NoteFill(note, hovered);
  if (dim) {
    pen = Dimmed(pen, GridColour);
    brush = Dimmed(brush, GridColour);
  }
  canvas.RoundBox(x1 + 1, y + 1, x2, y + view.RowHeight, pen, brush);
  if (selected) canvas.RoundBox(x1 + 2, y + 2, x2 - 1, y + view.RowHeight - 1, pen, brush);
}

// Syllable widths are not measured: every UTF-16 code unit counts 7 pixels.
void DrawSyllable(TCanvas& canvas, const TViewState& view, const TNote& note, std::int64_t x1,
                  std::int64_t x2, const QFont& font, bool dim) {
  const std::u16string text = songData::DecodeText(note.Text.View());
  const std::int64_t x = (x1 + x2 - SyllableCodeUnitWidth * std::int64_t(text.size())) / 2;
  canvas.Text(x, view.GridBottom + SyllableTop, QString::fromStdU16String(text), font,
              dim ? Dimmed(TextColour, BandColour) : TextColour);
}

// The edited voice's records plainly, with their hover and selection; the
// other voice's dimmed and never highlighted.
void DrawVoice(TCanvas& canvas, const TSong& song, const TViewState& view, bool edited) {
  const QFont font = PointFont("Arial", 12);
  const bool dim = !edited;
  const std::int64_t hover = edited ? HoveredIndex(song) : -1;
  for (std::size_t i = 0; i < song.Notes.size(); ++i) {
    const TNote& note = song.Notes[i];
    if ((note.Voice == view.Voice) != edited) continue;
    const bool hovered = std::int64_t(i) == hover;
    const std::int64_t x1 = std::int64_t(note.Start) * view.PixelsPerBeat - view.ViewOffset;
    if (note.IsLineBreak()) {
      DrawLineBreak(canvas, view, x1, hovered && view.HoverMode == hmLineBreak, dim);
      continue;
    }
    const std::int64_t x2 = x1 + std::int64_t(note.Length) * view.PixelsPerBeat;
    if (x1 >= canvas.Width() || x2 <= 0) continue;
    const bool hoveredNote = hovered && view.HoverMode >= hmLeftEdge && view.HoverMode <= hmBody;
    DrawNoteBox(canvas, song, view, note, x1, x2, hoveredNote, dim);
    DrawSyllable(canvas, view, note, x1, x2, font, dim);
  }
}

// The other voice of a duet lies behind the one being edited.
void DrawNotes(TCanvas& canvas, const TSong& song, const TViewState& view) {
  DrawVoice(canvas, song, view, false);
  DrawVoice(canvas, song, view, true);
}

void DrawCursor(TCanvas& canvas, const TViewState& view) {
  canvas.VerticalLine(SecondsToX(view, view.CursorTime), view.GridTop, view.GridBottom,
                      CursorColour);
}

void DrawRange(TCanvas& canvas, const TViewState& view) {
  if (view.RangeStart <= -999) return;
  canvas.OutlineBox(SecondsToX(view, view.RangeStart), view.GridTop,
                    SecondsToX(view, view.RangeEnd), view.GridBottom, RangeColour);
}

// Sung notes of the edited voice per tone value; freestyle and rap notes,
// spoken rather than sung, and line breaks do not count.
TToneCounts CountTones(const TSong& song, std::uint8_t voice) {
  TToneCounts counts{};
  for (const TNote& note : song.Notes) {
    if (note.Kind != songData::nkNormal && note.Kind != songData::nkGolden) continue;
    if (note.Voice != voice) continue;
    const std::int64_t tone = std::int64_t(note.Pitch) + song.Transpose;
    if (tone >= LowestCountedTone && tone <= HighestCountedTone)
      ++counts[std::size_t(tone - LowestCountedTone)];
  }
  return counts;
}

void DrawToneUsage(TCanvas& canvas, const TSong& song, const TViewState& view) {
  const TToneCounts counts = CountTones(song, view.Voice);
  for (std::int32_t i = 0; i < view.RowCount; ++i) {
    const std::int64_t y = std::int64_t(i) * view.RowHeight + view.GridTop;
    canvas.FillBox(0, y + 1, ToneColumnWidth, y + view.RowHeight, ToneColumnColour);
    const std::int32_t tone = RowTone(i);
    if (tone < LowestCountedTone || tone > HighestCountedTone) continue;
    const std::int32_t k =
        std::min(counts[std::size_t(tone - LowestCountedTone)], MostCircledNotes);
    if (k == 0) continue;
    const auto brush = std::uint32_t((0x3C + 5 * k) << 16 | (0x5A + 7 * k) << 8);
    const std::int64_t r = Nearest(std::sqrt(k + 2.0) * view.RowHeight / 15);
    const std::int64_t cy = y + view.RowHeight / 2;
    // Centred on the column's pixel 10.
    canvas.Ellipse(10 - r, cy - r, 11 + r, cy + r + 1, brush);
  }
}

} // namespace

void DrawView(QImage& image, const TSong& song, TViewState& view,
              const std::vector<TSpectrumStrip>& strips, double timelineLength,
              const pitch::TPitchContour* contour) {
  UpdateLayout(view, image.width(), image.height());
  if (image.isNull()) return;
  TCanvas canvas(image);
  canvas.FillBox(0, view.GridTop, canvas.Width(), view.GridBottom, GridColour);
  DrawStrips(canvas, song, view, strips);
  DrawBands(canvas, view);
  DrawBeatLines(canvas, song, view, timelineLength);
  DrawRowLines(canvas, view);
  DrawNotes(canvas, song, view);
  if (contour) DrawPitchLine(canvas, song, view, *contour);
  DrawCursor(canvas, view);
  DrawRange(canvas, view);
  DrawToneUsage(canvas, song, view);
}

} // namespace editor
