#include "common/note_builder.h"
#include "editor/beat_scale.h"
#include "editor/note_view.h"
#include "editor/view_layout.h"
#include "editor/view_pixels.h"

#include <climits>
#include <gtest/gtest.h>

namespace {

using namespace editor;
using namespace songData;
using analyser::TSpectrumStrip;

constexpr std::uint32_t Grid = 0x202020;
constexpr std::uint32_t Band = 0x63706C;
constexpr std::uint32_t RowLine = 0x405060;
constexpr std::uint32_t NoteFill = 0x80A090;
constexpr std::uint32_t NoteOutline = 0x408070;
constexpr std::uint32_t SelectedOutline = 0x40FF70;
constexpr std::uint32_t ToneColumn = 0x2C3C38;

// The start size, 125 BPM, scrolled to -0.5 s: beat b lies at x = 15 b + 62, the
// rows are 14 high from y = 10, and tone value t has its row top at
// y = (29 - t) * 14 + 10.
class NoteView : public testing::Test {
protected:
  void Draw(double timelineLength = 100.0) { DrawView(image, song, view, strips, timelineLength); }
  std::uint32_t At(int x, int y) const { return PixelAt(image, x, y); }

  QImage image{814, 560, QImage::Format_RGB32};
  TSong song;
  TViewState view;
  std::vector<TSpectrumStrip> strips;
};

// Notes of the three kinds, a line break and a selected note; a note above
// the rows; the cursor and a range given backwards.
class NoteViewOfASong : public NoteView {
protected:
  void SetUp() override {
    song.Notes = {MakeNote(nkNormal, 4, 4, 10, "la"),    MakeNote(nkGolden, 12, 4, 8, "lo"),
                  MakeNote(nkFreestyle, 20, 4, 6, "li"), MakeNote(nkLineBreak, 28),
                  MakeNote(nkNormal, 32, 4, 12, "le"),   MakeNote(nkNormal, 36, 4, 40, "hi")};
    song.Notes[4].Selected = true;
    view.CursorTime = 3.1;
    view.RangeStart = 5.0f;
    view.RangeEnd = 4.0f;
    Draw();
  }
};

TEST_F(NoteViewOfASong, LaysTheViewOutFromItsSize) {
  const TViewLayout layout = LayoutOf(view, image.width(), image.height());
  EXPECT_EQ(layout.Horizontal.Offset(), -62); // -62.5 rounded to even
  EXPECT_EQ(layout.ScrollPage, 65);
  EXPECT_EQ(layout.RowHeight, 14);
  EXPECT_EQ(layout.RowCount, 35);
  EXPECT_EQ(layout.GridTop, 10);
  EXPECT_EQ(layout.GridBottom, 501);
}

TEST_F(NoteViewOfASong, FillsBandsAndGrid) {
  EXPECT_EQ(At(400, 5), Band);
  EXPECT_EQ(At(400, 501), Band);
  EXPECT_EQ(At(400, 555), Band);
  EXPECT_EQ(At(100, 100), Grid);
  EXPECT_EQ(At(100, 24), RowLine);
  EXPECT_EQ(At(100, 500), RowLine);
}

TEST_F(NoteViewOfASong, DrawsBeatLinesFromBeatZeroWithBarNumbers) {
  EXPECT_EQ(At(62, 100), 0x406070u);
  EXPECT_EQ(At(77, 100), 0x000000u);
  EXPECT_EQ(At(122, 100), 0x406070u);
  // Two pixels into each band.
  EXPECT_EQ(At(77, 8), 0x000000u);
  EXPECT_EQ(At(77, 7), Band);
  EXPECT_EQ(At(77, 502), 0x000000u);
  EXPECT_EQ(At(77, 503), Band);
  // Nothing left of beat 0.
  EXPECT_EQ(At(47, 100), Grid);
  // At 15 pixels per beat only multiples of 8 carry a number.
  EXPECT_TRUE(AnyPixelBut(image, QRect(176, 504, 14, 10), Band));
  EXPECT_FALSE(AnyPixelBut(image, QRect(114, 504, 16, 10), Band));
}

TEST_F(NoteViewOfASong, FillsNotesByKindInsideTheirOutline) {
  EXPECT_EQ(At(150, 283), NoteFill);
  EXPECT_EQ(At(270, 311), 0xDFCF90u);
  EXPECT_EQ(At(390, 339), 0xC0B0B0u);
  // The box runs from x1 + 1 to x2 and from y + 1 to y + RowHeight, its
  // corners left out.
  EXPECT_EQ(At(123, 283), NoteOutline);
  EXPECT_EQ(At(181, 283), NoteOutline);
  EXPECT_EQ(At(182, 283), 0x406070u); // beat 8's line, just right of the box
  EXPECT_EQ(At(150, 277), NoteOutline);
  EXPECT_EQ(At(150, 289), NoteOutline);
  EXPECT_EQ(At(150, 290), RowLine);
  EXPECT_EQ(At(123, 277), Grid);
}

TEST_F(NoteViewOfASong, OutlinesASelectedNoteTwice) {
  EXPECT_EQ(At(543, 255), SelectedOutline);
  EXPECT_EQ(At(544, 255), SelectedOutline);
  EXPECT_EQ(At(545, 255), NoteFill);
  EXPECT_EQ(At(601, 255), SelectedOutline);
  EXPECT_EQ(At(600, 255), SelectedOutline);
  EXPECT_EQ(At(570, 250), SelectedOutline);
  EXPECT_EQ(At(570, 255), NoteFill);
}

TEST_F(NoteViewOfASong, WritesSyllablesEvenOfNotesOutsideTheRows) {
  // "la" at x = (122 + 182 - 14) / 2, 18 pixels below the grid.
  EXPECT_TRUE(AnyPixelBut(image, QRect(145, 519, 16, 16), Band));
  // "hi" is written though its row lies above the view and no box is drawn.
  EXPECT_TRUE(AnyPixelBut(image, QRect(625, 519, 16, 16), Band));
  const QRect itsColumn(603, 10, 59, 491);
  EXPECT_FALSE(AnyPixelOf(image, itsColumn, NoteFill));
  EXPECT_FALSE(AnyPixelOf(image, itsColumn, NoteOutline));
}

TEST_F(NoteViewOfASong, DrawsLineBreaksAsDottedPairs) {
  for (int x : {481, 483}) {
    EXPECT_EQ(At(x, 10), 0x6060A0u);
    EXPECT_EQ(At(x, 100), 0x6060A0u);
    EXPECT_EQ(At(x, 101), Grid);
  }
  EXPECT_EQ(At(482, 101), 0x406070u); // beat 28's own line between them
  EXPECT_EQ(At(481, 501), Band);
}

TEST_F(NoteViewOfASong, DrawsTheCursorAndTheRangeEitherWayRound) {
  // 3.1 s is 387.5 pixels, rounded to even.
  EXPECT_EQ(At(450, 100), 0x80FFFFu);
  EXPECT_EQ(At(450, 10), 0x80FFFFu);
  EXPECT_EQ(At(450, 500), 0x80FFFFu);
  EXPECT_EQ(At(450, 501), Band);
  EXPECT_EQ(At(449, 100), Grid);
  // From 4 s (x 562) to 5 s (x 687), right edge excluded.
  constexpr std::uint32_t Range = 0xFFE040;
  EXPECT_EQ(At(562, 100), Range);
  EXPECT_EQ(At(686, 100), Range);
  EXPECT_EQ(At(687, 100), Grid);
  EXPECT_EQ(At(600, 10), Range);
  EXPECT_EQ(At(600, 500), Range);
  EXPECT_EQ(At(600, 100), Grid);
  EXPECT_EQ(At(562, 255), Range); // over the selected note
}

TEST_F(NoteViewOfASong, CirclesTheTonesOfSungNotes) {
  constexpr std::uint32_t OneNote = 0x416100;
  EXPECT_EQ(At(10, 283), OneNote);    // tone 10
  EXPECT_EQ(At(10, 311), OneNote);    // tone 8, golden
  EXPECT_EQ(At(10, 255), OneNote);    // tone 12
  EXPECT_EQ(At(10, 339), ToneColumn); // tone 6, freestyle
  EXPECT_EQ(At(3, 283), ToneColumn);
  EXPECT_EQ(At(10, 276), RowLine);
  EXPECT_EQ(At(19, 100), ToneColumn);
  EXPECT_EQ(At(20, 100), Grid);
}

TEST_F(NoteViewOfASong, RaisesTheHoveredRowLinesAndLineBreak) {
  view.HoverTone = 20;
  view.HoverIndex = 3;
  view.HoverMode = hmLineBreak;
  Draw();
  EXPECT_EQ(At(700, 136), 0x607080u);
  EXPECT_EQ(At(700, 150), 0x607080u);
  EXPECT_EQ(At(700, 164), RowLine);
  EXPECT_EQ(At(481, 100), 0x8080C0u);
  view.HoverMode = hmBody;
  Draw();
  EXPECT_EQ(At(481, 100), 0x6060A0u);
}

TEST_F(NoteView, RaisesTheFillOfTheHoveredNote) {
  struct TCase {
    TNoteKind Kind;
    THoverMode Mode;
    std::int32_t HoverIndex;
    std::uint32_t Fill;
  };
  const TCase cases[] = {
      {nkNormal, hmNothing, 0, 0x80A090},
      {nkNormal, hmBody, 0, 0xA0C0B0},
      {nkNormal, hmLeftEdge, 0, 0xA0C0B0},
      {nkNormal, hmRightEdge, 0, 0xA0C0B0},
      {nkGolden, hmNothing, 0, 0xDFCF90},
      {nkGolden, hmBody, 0, 0xFFEFB0},
      {nkFreestyle, hmNothing, 0, 0xC0B0B0},
      {nkFreestyle, hmBody, 0, 0xE0D0D0},
      {nkRap, hmNothing, 0, 0x6098D8},
      {nkRap, hmRightEdge, 0, 0x80B8F8},
      {nkRapGolden, hmNothing, 0, 0xB898DF},
      {nkRapGolden, hmBody, 0, 0xD8B8FF},
      {nkNormal, hmLineBreak, 0, 0x80A090},
      // An index left behind by a shrinking Notes names nothing.
      {nkNormal, hmBody, 1, 0x80A090},
      {nkGolden, hmBody, 7000, 0xDFCF90},
      {nkNormal, hmBody, -1, 0x80A090},
  };
  for (const TCase& c : cases) {
    song.Notes = {MakeNote(c.Kind, 4, 4, 10, "la")};
    view.HoverIndex = c.HoverIndex;
    view.HoverMode = c.Mode;
    Draw();
    EXPECT_EQ(At(150, 283), c.Fill) << int(c.Kind) << ' ' << int(c.Mode) << ' ' << c.HoverIndex;
  }
}

// A duet: "la" of P1 and "il" of P2 overlap over beats 6 to 8 (x 153 .. 181),
// "il" comes later in the array; P2 has a line break at beat 28 and "lo"
// selected. P1 sings tone 10 and raps tone 6, P2 sings tone 8.
class NoteViewOfADuet : public NoteView {
protected:
  void SetUp() override {
    song.Notes = {Voiced(MakeNote(nkNormal, 4, 4, 10, "la"), 1),
                  Voiced(MakeNote(nkNormal, 6, 4, 10, "il"), 2),
                  Voiced(MakeNote(nkGolden, 12, 4, 8, "lo"), 2),
                  Voiced(MakeNote(nkRap, 20, 2, 6, "ra"), 1),
                  Voiced(MakeNote(nkRapGolden, 24, 2, 6, "p"), 1),
                  Voiced(MakeNote(nkLineBreak, 28), 2)};
    song.Notes[2].Selected = true;
  }
  static TNote Voiced(TNote note, std::uint8_t voice) {
    note.Voice = voice;
    return note;
  }
  int BrightestRed(const QRect& area) const {
    int red = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
      for (int x = area.left(); x <= area.right(); ++x)
        red = std::max(red, int(At(x, y) >> 16));
    return red;
  }
  // The syllable of "il", 18 pixels under the grid.
  const QRect ilSyllable{175, 519, 16, 16};
};

TEST_F(NoteViewOfADuet, DimsTheOtherVoiceBehindTheEditedOne) {
  // Halfway to the grid, or to the band for texts.
  constexpr std::uint32_t DimFill = 0x506058;
  constexpr std::uint32_t DimGolden = 0x7F7758;
  constexpr std::uint32_t DimOutline = 0x305048;
  constexpr std::uint32_t DimText = 0xB1B7B5;
  struct TCase {
    std::uint8_t Voice;
    std::uint32_t LaOnly, Overlap, IlOnly, Lo, LoOutline, LineBreak;
    bool IlTextDim;
  };
  const TCase cases[] = {
      {1, NoteFill, NoteFill, DimFill, DimGolden, DimOutline, 0x404060, true},
      {2, DimFill, NoteFill, NoteFill, 0xDFCF90, SelectedOutline, 0x6060A0, false},
  };
  for (const TCase& c : cases) {
    view.Voice = c.Voice;
    Draw();
    EXPECT_EQ(At(140, 283), c.LaOnly) << int(c.Voice);
    EXPECT_EQ(At(165, 283), c.Overlap) << int(c.Voice);
    EXPECT_EQ(At(200, 283), c.IlOnly) << int(c.Voice);
    EXPECT_EQ(At(270, 311), c.Lo) << int(c.Voice);
    EXPECT_EQ(At(243, 311), c.LoOutline) << int(c.Voice);
    EXPECT_EQ(At(481, 10), c.LineBreak) << int(c.Voice);
    // Glyph edges are smoothed: the brightest pixel tells the text's colour.
    const int brightest = BrightestRed(ilSyllable);
    EXPECT_EQ(brightest > int(DimText >> 16), !c.IlTextDim) << int(c.Voice) << ' ' << brightest;
    EXPECT_GT(brightest, int(Band >> 16)) << int(c.Voice);
  }
}

TEST_F(NoteViewOfADuet, NeverHighlightsTheOtherVoice) {
  // A hover left on P2's "lo" after switching to P1.
  view.HoverIndex = 2;
  view.HoverMode = hmBody;
  Draw();
  EXPECT_EQ(At(270, 311), 0x7F7758u);
  EXPECT_EQ(At(243, 311), 0x305048u);
  view.HoverMode = hmLineBreak;
  view.HoverIndex = 5;
  Draw();
  EXPECT_EQ(At(481, 10), 0x404060u);
}

TEST_F(NoteViewOfADuet, CountsTheSungTonesOfTheEditedVoice) {
  constexpr std::uint32_t OneNote = 0x416100;
  struct TCase {
    std::uint8_t Voice;
    std::uint32_t Tone10, Tone8;
  };
  for (TCase c : {TCase{1, OneNote, ToneColumn}, TCase{2, OneNote, OneNote}}) {
    view.Voice = c.Voice;
    Draw();
    EXPECT_EQ(At(10, 283), c.Tone10) << int(c.Voice);
    EXPECT_EQ(At(10, 311), c.Tone8) << int(c.Voice);
    EXPECT_EQ(At(10, 339), ToneColumn) << int(c.Voice); // rap, spoken
  }
}

TEST_F(NoteView, NumbersEveryBarAboveTwentyPixelsPerBeat) {
  struct TCase {
    double Bpm;
    std::int32_t PixelsPerBeat;
    bool FourNumbered;
  };
  for (TCase c : {TCase{125, 15, false}, {75, 20, false}, {50, 28, true}}) {
    song.BPM = c.Bpm;
    view.PixelsPerBeat = c.PixelsPerBeat;
    view.PixelsPerSecond = c.PixelsPerBeat * c.Bpm * 4 / 60;
    view.ScrollPosition = 0;
    Draw();
    const int four = 4 * c.PixelsPerBeat, eight = 8 * c.PixelsPerBeat;
    EXPECT_EQ(AnyPixelBut(image, QRect(four - 4, 504, 12, 10), Band), c.FourNumbered) << c.Bpm;
    EXPECT_TRUE(AnyPixelBut(image, QRect(eight - 4, 504, 12, 10), Band)) << c.Bpm;
  }
}

TEST_F(NoteView, BeatLinesEndTenSecondsAfterTheTimeline) {
  // Scrolled to 10 s: beat n lies at x = 15 n - 1250.
  view.ScrollPosition = 100;
  Draw(6.0); // the last beat is nearest(125 * 4 * 16 / 60) = 133
  EXPECT_EQ(At(25, 100), 0x000000u);
  EXPECT_EQ(At(745, 100), 0x000000u);
  EXPECT_EQ(At(760, 100), Grid);
  Draw(-2.0); // beat 67, left of the view
  EXPECT_EQ(At(25, 100), Grid);
}

TEST_F(NoteView, DrawsEachStripOverItsSecondsAndRows) {
  strips.resize(2);
  for (int row = 0; row < analyser::StripHeight; ++row)
    for (int column = 0; column < analyser::StripWidth; ++column) {
      strips[0].Pixels[row * analyser::StripWidth + column] = 0x100000u + row;
      strips[1].Pixels[row * analyser::StripWidth + column] = 0x300000u + row;
    }
  struct TCase {
    std::int32_t ScrollPosition;
    double MusicOffset;
    int X;
    std::uint32_t Strip; // the colour of the strip's row 0; 0 for none
  };
  const TCase cases[] = {
      // Strip 0 from x = 0 + 62 - nearest(1.25).
      {-5, 0.0, 60, 0},
      {-5, 0.0, 61, 0x100000},
      {-5, 0.0, 100, 0x100000},
      // Scrolled 8 s on, strip 1 begins one pixel left of the view.
      {80, 0.0, 30, 0x300000},
      {80, 0.0, 700, 0x300000},
      // Music from 1 s before the song's zero point: shown left of beat 0.
      {-5, -1.0, 40, 0x100000},
      {-5, -1.0, 800, 0x100000},
  };
  for (const TCase& c : cases) {
    song.MusicOffset = c.MusicOffset;
    view.ScrollPosition = c.ScrollPosition;
    Draw();
    for (int row : {0, 17, 34}) {
      const std::uint32_t expected = c.Strip ? c.Strip + row : Grid;
      EXPECT_EQ(At(c.X, 10 + 14 * row + 7), expected)
          << c.ScrollPosition << ' ' << c.MusicOffset << ' ' << c.X << " row " << row;
    }
    // The strip's 36th row lies under the lower band.
    EXPECT_EQ(At(100, 505), Band) << c.ScrollPosition;
  }
}

TEST_F(NoteView, CountsUpToTwentyNotesPerTone) {
  // Out of sight to the right, so only the column shows them.
  auto toneZeroNotes = [](int count) {
    std::vector<TNote> notes;
    for (int i = 0; i < count; ++i)
      notes.push_back(MakeNote(nkNormal, 1000 + 2 * i, 1, 0));
    for (int i = 0; i < 3; ++i)
      notes.push_back(MakeNote(nkFreestyle, 900 + 2 * i, 1, 1));
    notes.push_back(MakeNote(nkLineBreak, 950, 0, 2));
    return notes;
  };
  song.Notes = toneZeroNotes(20);
  Draw();
  const QImage twenty = image.copy(0, 0, 20, 560);
  song.Notes = toneZeroNotes(25);
  Draw();
  EXPECT_EQ(image.copy(0, 0, 20, 560), twenty);
  // Tone 0 is row 29 at y = 416; radius nearest(sqrt(22) * 14 / 15) = 4.
  EXPECT_EQ(At(10, 423), 0xA0E600u);
  EXPECT_EQ(At(10, 419), 0xA0E600u);
  EXPECT_EQ(At(10, 418), ToneColumn);
  EXPECT_EQ(At(10, 402 + 7), ToneColumn); // tone 1: freestyle only
  EXPECT_EQ(At(10, 388 + 7), ToneColumn); // tone 2: a line break
}

TEST_F(NoteView, KeepsRowsInTinyViews) {
  struct TCase {
    int Width, Height;
    std::int32_t RowHeight, RowCount;
  };
  song.Notes = {MakeNote(nkNormal, 0, 4, 10, "long syllable"), MakeNote(nkLineBreak, 5)};
  view.ScrollPosition = 0;
  for (TCase c :
       {TCase{0, 0, 1, 0}, {50, 40, 1, 0}, {120, 94, 1, 34}, {120, 95, 1, 35}, {120, 130, 2, 35}}) {
    image = QImage(c.Width, c.Height, QImage::Format_RGB32);
    Draw();
    const TViewLayout layout = LayoutOf(view, c.Width, c.Height);
    EXPECT_EQ(layout.RowHeight, c.RowHeight) << c.Height;
    EXPECT_EQ(layout.RowCount, c.RowCount) << c.Height;
    EXPECT_EQ(layout.GridBottom, c.RowHeight * c.RowCount + 11) << c.Height;
  }
}

TEST_F(NoteView, DrawsAbsurdSongsWithoutOverflow) {
  strips.resize(3);
  song.Notes = {MakeNote(nkNormal, INT_MAX, INT_MAX, INT_MAX, "x"),
                MakeNote(nkGolden, INT_MIN, INT_MAX, INT_MIN, "y"),
                MakeNote(nkNormal, -3, INT_MAX, 10, "z"), MakeNote(nkLineBreak, INT_MIN)};
  song.Transpose = INT_MAX;
  view.HoverIndex = INT_MAX;
  view.RangeStart = 3e38f;
  view.RangeEnd = -3e38f;
  view.CursorTime = 1e300;
  for (double bpm : {0.0, -50.0, 1e-300, 1e9}) {
    song.BPM = bpm;
    const TBeatScale scale = BeatScaleOf(bpm);
    view.PixelsPerBeat = scale.PixelsPerBeat;
    view.PixelsPerSecond = scale.PixelsPerSecond;
    Draw(1e12);
    EXPECT_EQ(At(400, 5), Band) << bpm;
  }
}

} // namespace
