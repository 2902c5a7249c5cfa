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

// Whole pixels of a position far outside the image too, without overflow.
std::int64_t Pixel(double x) {
  if (std::isnan(x)) return 0;
  return static_cast<std::int64_t>(std::clamp(std::nearbyint(x), -4e18, 4e18));
}

// The hovered record, or -1 when the index lies outside Notes.
std::int64_t HoveredIndex(const TSong& song, const TViewState& view) {
  const bool inside = view.HoverIndex >= 0 && std::size_t(view.HoverIndex) < song.Notes.size();
  return inside ? view.HoverIndex : -1;
}

void DrawStrips(TCanvas& canvas, const TSong& song, const TViewLayout& layout,
                const std::vector<TSpectrumStrip>& strips) {
  const TZoom& zoom = layout.Horizontal;
  const std::int64_t lead = Nearest(0.01 * zoom.PixelsPerSecond());
  const std::int64_t width = Nearest(StripSeconds * zoom.PixelsPerSecond());
  // The strips' rows are the rows from the start's top tone down.
  const std::int64_t top =
      std::int64_t(layout.GridTop) + std::int64_t(layout.TopTone - TopRowTone) * layout.RowHeight;
  const std::int64_t bottom = top + std::int64_t(analyser::StripHeight) * layout.RowHeight;
  for (std::size_t i = 0; i < strips.size(); ++i) {
    const double start = StripSeconds * double(i) + song.MusicOffset;
    const std::int64_t x =
        std::int64_t(Nearest(start * zoom.PixelsPerSecond())) - zoom.Offset() - lead;
    if (x > canvas.Width()) break;
    if (x + width < 0) continue;
    // The strip's own pixels, not a copy: its analyser may still be writing them.
    canvas.StretchPixels(x, top, x + width, bottom, strips[i].Pixels.data(), analyser::StripWidth,
                         analyser::StripHeight);
  }
}

void DrawBands(TCanvas& canvas, const TViewLayout& layout) {
  canvas.FillBox(0, 0, canvas.Width(), layout.GridTop, BandColour);
  canvas.FillBox(0, layout.GridBottom, canvas.Width(), canvas.Height(), BandColour);
}

// Bars are numbered every 2^k bars, k the least that leaves room for the
// numbers: every bar above 20 pixels a beat, else every second bar or fewer.
std::int64_t BarsPerNumber(double pixelsPerBeat) {
  if (pixelsPerBeat > 20) return 1;
  std::int64_t bars = 2;
  while (bars < (std::int64_t(1) << 40) && bars * 4 * pixelsPerBeat < 48)
    bars *= 2;
  return bars;
}

void DrawBeatLines(TCanvas& canvas, const TSong& song, const TViewLayout& layout,
                   double timelineLength) {
  const QFont font = PointFont("Tahoma", 8);
  const TZoom& zoom = layout.Horizontal;
  const double ppb = zoom.PixelsPerBeat();
  std::int64_t first = 0;
  std::int64_t last = Nearest(song.BPM * 4 * (timelineLength + 10) / 60);
  // Only the beats that fall on the view.
  if (ppb > 0) {
    first = std::max<std::int64_t>(0, Pixel(std::ceil(zoom.Offset() / ppb)));
    last = std::min(last, Pixel(std::floor((double(canvas.Width()) + zoom.Offset()) / ppb)));
  } else {
    last = std::min<std::int64_t>(last, 0);
  }
  const std::int64_t numbered = 4 * BarsPerNumber(ppb);
  // Below 4 pixels a beat only the bar lines stay apart.
  const bool beatLines = ppb >= 4;
  for (std::int64_t n = first; n <= last; ++n) {
    const std::int64_t x = Pixel(double(n) * ppb) - zoom.Offset();
    if (x < 0 || x > canvas.Width()) continue;
    std::uint32_t pen = BeatLineColour;
    if (n % 4 == 0) {
      pen = BarLineColour;
      if (n % numbered == 0) {
        const QString number = QString::number(n);
        canvas.Text(x - 3 * number.size(), layout.GridBottom + NumberTop, number, font, TextColour);
      }
    } else if (!beatLines) {
      continue;
    }
    canvas.VerticalLine(x, layout.GridTop - 2, layout.GridBottom + 2, pen);
  }
}

void DrawRowLines(TCanvas& canvas, const TViewState& view, const TViewLayout& layout) {
  for (std::int32_t v = 0; v <= layout.RowCount; ++v) {
    const std::int64_t y = std::int64_t(v) * layout.RowHeight + layout.GridTop;
    // The two lines that bound the hovered row.
    const std::int64_t tone = RowTone(layout, v);
    const bool hovered = tone == view.HoverTone || tone + 1 == view.HoverTone;
    canvas.HorizontalLine(0, canvas.Width(), y, hovered ? HoveredRowLineColour : RowLineColour);
  }
}

void DrawLineBreak(TCanvas& canvas, const TViewLayout& layout, std::int64_t x, bool hovered,
                   bool dim) {
  if (x < 0 || x >= canvas.Width()) return;
  std::uint32_t pen = hovered ? LineBreakColour + HoverTint : LineBreakColour;
  if (dim) pen = Dimmed(pen, GridColour);
  canvas.DottedVerticalLine(x - 1, layout.GridTop, layout.GridBottom, pen);
  canvas.DottedVerticalLine(x + 1, layout.GridTop, layout.GridBottom, pen);
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

void DrawNoteBox(TCanvas& canvas, const TSong& song, const TViewLayout& layout, const TNote& note,
                 std::int64_t x1, std::int64_t x2, bool hovered, bool dim) {
  const std::int64_t y = NoteRowTop(layout, note.Pitch, song.Transpose);
  const std::int64_t rowHeight = layout.RowHeight;
  if (y < layout.GridTop || y + rowHeight >= layout.GridBottom) return;
  const bool selected = note.Selected && !dim;
  std::uint32_t pen = selected ? SelectedOutlineColour : NoteOutlineColour;
  std::uint32_t brush = NoteFill(note, hovered);
  if (dim) {
    pen = Dimmed(pen, GridColour);
    brush = Dimmed(brush, GridColour);
  }
  canvas.RoundBox(x1 + 1, y + 1, x2, y + rowHeight, pen, brush);
  if (selected) canvas.RoundBox(x1 + 2, y + 2, x2 - 1, y + rowHeight - 1, pen, brush);
}

// Syllable widths are not measured: every UTF-16 code unit counts 7 pixels.
// Zoomed out, a syllable that would run into the one before it is left out
// (textEnd is where the last one drawn ends): unreadable, and slow to draw.
void DrawSyllable(TCanvas& canvas, const TViewLayout& layout, const TNote& note, std::int64_t x1,
                  std::int64_t x2, const QFont& font, bool dim, std::int64_t& textEnd) {
  const std::u16string text = songData::DecodeText(note.Text.View());
  const std::int64_t width = SyllableCodeUnitWidth * std::int64_t(text.size());
  const std::int64_t x = (x1 + x2 - width) / 2;
  if (layout.Horizontal.Factor() < 1) {
    if (x < textEnd) return;
    textEnd = x + width;
  }
  canvas.Text(x, layout.GridBottom + SyllableTop, QString::fromStdU16String(text), font,
              dim ? Dimmed(TextColour, BandColour) : TextColour);
}

// The edited voice's records plainly, with their hover and selection; the
// other voice's dimmed and never highlighted.
void DrawVoice(TCanvas& canvas, const TSong& song, const TViewState& view,
               const TViewLayout& layout, bool edited) {
  const QFont font = PointFont("Arial", 12);
  const bool dim = !edited;
  const std::int64_t hover = edited ? HoveredIndex(song, view) : -1;
  std::int64_t textEnd = INT64_MIN;
  for (std::size_t i = 0; i < song.Notes.size(); ++i) {
    const TNote& note = song.Notes[i];
    if ((note.Voice == view.Voice) != edited) continue;
    const bool hovered = std::int64_t(i) == hover;
    const double ppb = layout.Horizontal.PixelsPerBeat();
    const std::int64_t offset = layout.Horizontal.Offset();
    const std::int64_t x1 = Pixel(double(note.Start) * ppb) - offset;
    if (note.IsLineBreak()) {
      DrawLineBreak(canvas, layout, x1, hovered && view.HoverMode == hmLineBreak, dim);
      continue;
    }
    // From the end's own beat, so that notes end to end stay so at any zoom.
    const std::int64_t x2 = Pixel((double(note.Start) + note.Length) * ppb) - offset;
    if (x1 >= canvas.Width() || x2 <= 0) continue;
    const bool hoveredNote = hovered && view.HoverMode >= hmLeftEdge && view.HoverMode <= hmBody;
    DrawNoteBox(canvas, song, layout, note, x1, x2, hoveredNote, dim);
    DrawSyllable(canvas, layout, note, x1, x2, font, dim, textEnd);
  }
}

// The other voice of a duet lies behind the one being edited.
void DrawNotes(TCanvas& canvas, const TSong& song, const TViewState& view,
               const TViewLayout& layout) {
  DrawVoice(canvas, song, view, layout, false);
  DrawVoice(canvas, song, view, layout, true);
}

void DrawCursor(TCanvas& canvas, const TViewState& view, const TViewLayout& layout) {
  canvas.VerticalLine(SecondsToX(layout, view.CursorTime), layout.GridTop, layout.GridBottom,
                      CursorColour);
}

void DrawRange(TCanvas& canvas, const TViewState& view, const TViewLayout& layout) {
  if (view.RangeStart <= -999) return;
  canvas.OutlineBox(SecondsToX(layout, view.RangeStart), layout.GridTop,
                    SecondsToX(layout, view.RangeEnd), layout.GridBottom, RangeColour);
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

void DrawToneUsage(TCanvas& canvas, const TSong& song, const TViewState& view,
                   const TViewLayout& layout) {
  const TToneCounts counts = CountTones(song, view.Voice);
  for (std::int32_t i = 0; i < layout.RowCount; ++i) {
    const std::int64_t y = std::int64_t(i) * layout.RowHeight + layout.GridTop;
    canvas.FillBox(0, y + 1, ToneColumnWidth, y + layout.RowHeight, ToneColumnColour);
    const std::int32_t tone = RowTone(layout, i);
    if (tone < LowestCountedTone || tone > HighestCountedTone) continue;
    const std::int32_t k =
        std::min(counts[std::size_t(tone - LowestCountedTone)], MostCircledNotes);
    if (k == 0) continue;
    const auto brush = std::uint32_t((0x3C + 5 * k) << 16 | (0x5A + 7 * k) << 8);
    const std::int64_t r = Nearest(std::sqrt(k + 2.0) * layout.RowHeight / 15);
    const std::int64_t cy = y + layout.RowHeight / 2;
    // Centred on the column's pixel 10.
    canvas.Ellipse(10 - r, cy - r, 11 + r, cy + r + 1, brush);
  }
}

} // namespace

void DrawView(QImage& image, const TSong& song, const TViewState& view,
              const std::vector<TSpectrumStrip>& strips, double timelineLength,
              const pitch::TPitchContour* contour) {
  if (image.isNull()) return;
  const TViewLayout layout = LayoutOf(view, image.width(), image.height());
  TCanvas canvas(image);
  canvas.FillBox(0, layout.GridTop, canvas.Width(), layout.GridBottom, GridColour);
  DrawStrips(canvas, song, layout, strips);
  DrawBands(canvas, layout);
  DrawBeatLines(canvas, song, layout, timelineLength);
  DrawRowLines(canvas, view, layout);
  DrawNotes(canvas, song, view, layout);
  if (contour) DrawPitchLine(canvas, song, layout, *contour);
  DrawCursor(canvas, view, layout);
  DrawRange(canvas, view, layout);
  DrawToneUsage(canvas, song, view, layout);
}

} // namespace editor
