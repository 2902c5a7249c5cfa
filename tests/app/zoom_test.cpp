#include "editor/note_view.h"
#include "editor/timeline.h"
#include "main_window_fixture.h"
#include "view_input.h"

#include <QAction>
#include <QMenuBar>
#include <QScrollBar>
#include <cmath>

namespace {

using namespace viewinput;

// 120 BPM: a beat is 0.125 s and 15 pixels at 100 %.
const std::string Song1 = "#BPM:120\r\n: 0 4 8 a\r\n: 4 4 8 b\r\n- 10\r\n: 12 4 6 c\r\n"
                          ": 200 4 6 d\r\nE\r\n";

class Zoom : public MainWindow {
protected:
  void SetUp() override { Start(QString::fromStdString(WriteSong("s.txt", Song1))); }
  void CtrlWheel(QPoint at, int delta, Qt::KeyboardModifiers more = {}) {
    QWheelEvent event(at, Form->MainImg->mapToGlobal(at), {}, {0, delta}, Qt::NoButton,
                      Qt::ControlModifier | more, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(Form->MainImg, &event);
  }
  // The view as the window would draw it now.
  QImage Fresh() const {
    QImage image(Form->MainImg->size(), QImage::Format_RGB32);
    editor::DrawView(image, Song, Form->View, Analyser.SpectrumStrips,
                     editor::TimelineOf(Song, songData::MusicDuration(Music)).Length);
    return image;
  }
};

TEST_F(Zoom, CtrlWheelKeepsTheBeatUnderTheMouseInPlace) {
  // "d" at 25 s, 2 s into the view: far enough from the timeline's start that
  // no zoom needs the view to begin before it.
  Form->Scroll->setValue(230);
  const QPoint at = At(*Form, 202, 6);
  const int scroll = Form->Scroll->value();
  for (int delta : {120, 120, 120, -240, 480, -120, -720, -720}) {
    CtrlWheel(at, delta);
    EXPECT_NEAR(BeatX(*Form, 202), at.x(), 1) << Form->View.Zoom;
    EXPECT_EQ(Form->MainImg->Image, Fresh()) << Form->View.Zoom;
  }
  // Eight notches out from 100 % stop at 25 %.
  EXPECT_DOUBLE_EQ(Form->View.Zoom, 0.25);
  EXPECT_NE(Form->Scroll->value(), scroll);
  // With Shift too, the rows zoom about the tone under the mouse instead.
  const double zoom = Form->View.Zoom;
  const std::int32_t rowHeight = Form->Layout().RowHeight;
  const std::int32_t tone = editor::RowTone(Form->Layout(), editor::YToRow(Form->Layout(), at.y()));
  CtrlWheel(at, 240, Qt::ShiftModifier);
  EXPECT_DOUBLE_EQ(Form->View.Zoom, zoom);
  EXPECT_EQ(Form->Layout().RowHeight, 2 * rowHeight);
  EXPECT_EQ(editor::RowTone(Form->Layout(), editor::YToRow(Form->Layout(), at.y())), tone);
  EXPECT_EQ(Form->MainImg->Image, Fresh());
}

TEST_F(Zoom, KeysZoomAboutThePlayCursorInExactSteps) {
  const QMenu* view = nullptr;
  for (QAction* menu : Form->menuBar()->actions())
    if (menu->text() == "&View") view = menu->menu();
  ASSERT_NE(view, nullptr);
  for (QAction* action : {Form->ZoomIn, Form->ZoomOut, Form->ZoomReset, Form->FitSong})
    EXPECT_TRUE(view->actions().contains(action)) << action->text().toStdString();
  EXPECT_TRUE(Form->ZoomIn->shortcuts().contains(QKeySequence("Ctrl++")));
  EXPECT_TRUE(Form->ZoomOut->shortcuts().contains(QKeySequence("Ctrl+-")));
  EXPECT_TRUE(Form->ZoomReset->shortcuts().contains(QKeySequence("Ctrl+0")));

  Form->View.CursorTime = 1.5;
  const int cursor = editor::SecondsToX(Form->Layout(), 1.5);
  struct TStep {
    QAction* Action;
    double Zoom;
  };
  for (TStep step : {TStep{Form->ZoomIn, std::sqrt(2.0)},
                     {Form->ZoomIn, 2},
                     {Form->ZoomIn, 2 * std::sqrt(2.0)},
                     {Form->ZoomOut, 2},
                     {Form->ZoomReset, 1}}) {
    step.Action->trigger();
    EXPECT_DOUBLE_EQ(Form->View.Zoom, step.Zoom);
    EXPECT_NEAR(editor::SecondsToX(Form->Layout(), 1.5), cursor, 1) << step.Zoom;
  }
  for (int i = 0; i < 12; ++i)
    Form->ZoomIn->trigger();
  EXPECT_DOUBLE_EQ(Form->View.Zoom, 8);
  EXPECT_EQ(Form->Layout().Horizontal.PixelsPerBeat(), 120);
}

TEST_F(Zoom, FitSongShowsEveryNote) {
  Form->FitSong->trigger();
  const editor::TViewLayout layout = Form->Layout();
  EXPECT_GE(editor::BeatToX(layout, 0), 0);
  EXPECT_LE(editor::BeatToX(layout, 204), Form->MainImg->width());
  // 25 s of song in 95 % of the width.
  EXPECT_NEAR(layout.Horizontal.PixelsPerSecond() * 25.5, 0.95 * Form->MainImg->width(), 1);
  EXPECT_EQ(Form->MainImg->Image, Fresh());
}

TEST_F(Zoom, TheSettingsRememberIt) {
  Form->ZoomIn->trigger();
  Form->ZoomIn->trigger();
  CtrlWheel(QPoint(300, 200), 240, Qt::ShiftModifier);
  EXPECT_NE(Folder.Read("settings.ctl").find("ZoomPercent"), std::string::npos);
  MakeForm();
  Start(QString::fromStdString(Folder.File("s.txt")));
  EXPECT_DOUBLE_EQ(Form->View.Zoom, 2);
  EXPECT_DOUBLE_EQ(Form->View.RowZoom, 2);
  // The rows stay centred on the tones of the start.
  EXPECT_EQ(Form->View.TopTone, 20);
}

// Playing and following the cursor, a zoom keeps it where it is on the view.
TEST_F(Zoom, DuringPlaybackTheCursorStaysInView) {
  WriteMusic("m.mp3", 6.0);
  Form->LoadSong(WriteSong("m.txt", "#MP3:m.mp3\r\n" + Song1));
  Form->View.CursorTime = 3.0;
  Form->plPlayExecute();
  Output->WaitForFrames(4410);
  CtrlWheel(QPoint(5, 200), 720); // 800 %, the mouse far left of the cursor
  const int x = editor::SecondsToX(Form->Layout(), Form->View.CursorTime);
  EXPECT_GE(x, 0);
  EXPECT_LT(x, Form->MainImg->width());
  Form->plStopExecute();
}

// The window made larger through its real widgets: the note view shows what is
// drawn for its new size at once, not a new image's leftover memory.
TEST_F(Zoom, EveryResizeRedraws) {
  for (QSize size : {QSize(1200, 900), QSize(800, 620), QSize(1000, 700)}) {
    Form->resize(size);
    QApplication::processEvents();
    ASSERT_EQ(Form->MainImg->Image.size(), Form->MainImg->size());
    EXPECT_EQ(Form->MainImg->Image, Fresh()) << size.width();
  }
}

} // namespace
