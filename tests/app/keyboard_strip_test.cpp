#include "app/image_widget.h"
#include "main_window_fixture.h"

#include <QCoreApplication>
#include <QLabel>
#include <QMouseEvent>

namespace {

class KeyboardStripWindow : public MainWindow {
protected:
  void SetUp() override {
    Start();
    x0 = (Form->Keyboard->width() - 672) / 2;
  }

  // Through the widget, as the mouse would.
  void Send(QEvent::Type type, int x, int y, Qt::MouseButton button, Qt::MouseButtons held) {
    const QPointF at(x, y);
    QMouseEvent event(type, at, Form->Keyboard->mapToGlobal(at), button, held, Qt::NoModifier);
    QCoreApplication::sendEvent(Form->Keyboard, &event);
  }
  void Move(int x, int y, Qt::MouseButtons held = Qt::NoButton) {
    Send(QEvent::MouseMove, x, y, Qt::NoButton, held);
  }
  void Press(int x, int y, Qt::MouseButton button = Qt::LeftButton) {
    Send(QEvent::MouseButtonPress, x, y, button, button);
  }
  void Release(int x, int y, Qt::MouseButton button = Qt::LeftButton) {
    Send(QEvent::MouseButtonRelease, x, y, button, Qt::NoButton);
  }
  void Leave() {
    QEvent event(QEvent::Leave);
    QCoreApplication::sendEvent(Form->Keyboard, &event);
  }
  QString ToneName() const { return Form->StatusPanels[2]->text(); }

  int x0 = 0; // where the first key is hit
  // Points on keys, relative to x0: C4 and D4 (white) and C#4 (black).
  static constexpr int C4 = 7 * 24 + 5, D4 = 8 * 24 + 5, CSharp4 = 168 + 14 + 8;
};

TEST_F(KeyboardStripWindow, HoveringNamesTheKeyAndMarksItsTone) {
  Move(x0 + CSharp4, 10);
  EXPECT_EQ(Form->View.HoverTone, 1);
  EXPECT_EQ(ToneName(), "C#");
  Move(x0 + CSharp4, 50); // below the black key lies C4
  EXPECT_EQ(Form->View.HoverTone, 0);
  EXPECT_EQ(ToneName(), "C");
  // Right of the keys, and leaving: nothing hovered, the name stays.
  Move(x0 + 672, 50);
  EXPECT_EQ(Form->View.HoverTone, editor::NoHoverTone);
  EXPECT_EQ(ToneName(), "C");
  Move(x0 + C4, 50);
  Leave();
  EXPECT_EQ(Form->View.HoverTone, editor::NoHoverTone);
  EXPECT_EQ(ToneName(), "C");
  EXPECT_EQ(Player.CurrentTone, player::NoTone);
}

TEST_F(KeyboardStripWindow, PressSoundsTheKeyUntilTheRelease) {
  Move(x0 + C4, 50);
  Press(x0 + C4, 50);
  EXPECT_EQ(Player.CurrentTone, 0);
  // Dragging plays each key passed over; leaving keeps the tone going.
  Move(x0 + D4, 50, Qt::LeftButton);
  EXPECT_EQ(Player.CurrentTone, 2);
  EXPECT_EQ(ToneName(), "D");
  Move(x0 + 700, 50, Qt::LeftButton);
  Leave();
  EXPECT_EQ(Player.CurrentTone, 2);
  Release(x0 + 700, 50);
  EXPECT_EQ(Player.CurrentTone, player::NoTone);
  EXPECT_EQ(Player.ToneVolumeTarget, 0u);
}

TEST_F(KeyboardStripWindow, OnlyTheLeftButtonPlays) {
  Move(x0 + C4, 50);
  Press(x0 + C4, 50, Qt::RightButton);
  EXPECT_EQ(Player.CurrentTone, player::NoTone);
  Move(x0 + D4, 50, Qt::RightButton);
  EXPECT_EQ(Player.CurrentTone, player::NoTone);
  Press(x0 + D4, 50);
  Release(x0 + D4, 50, Qt::RightButton);
  EXPECT_EQ(Player.CurrentTone, 2);
}

TEST_F(KeyboardStripWindow, KeyReplacesAToneOfPlaybackAndTheReleaseStopsIt) {
  player::StartTone(Player, 9, false);
  Move(x0 + D4, 50);
  Press(x0 + D4, 50);
  EXPECT_EQ(Player.CurrentTone, 2);
  Release(x0 + D4, 50);
  EXPECT_EQ(Player.CurrentTone, player::NoTone);
}

TEST_F(KeyboardStripWindow, TheTimerRepaintsTheStripAfterAChange) {
  // Middle of C4's face, clear of the black keys.
  const int x = x0 - 1 + 7 * 24 + 12, y = 50;
  const QRgb normal = Form->Keyboard->Image.pixel(x, y);
  Move(x0 + C4, y);
  EXPECT_EQ(Form->Keyboard->Image.pixel(x, y), normal);
  Form->TimerTimer();
  const QRgb hovered = Form->Keyboard->Image.pixel(x, y);
  EXPECT_NE(hovered, normal);
  Press(x0 + C4, y);
  Form->TimerTimer();
  const QRgb sounding = Form->Keyboard->Image.pixel(x, y);
  EXPECT_NE(sounding, hovered);
  EXPECT_NE(sounding, normal);
  Release(x0 + C4, y);
  Leave();
  Form->TimerTimer();
  EXPECT_EQ(Form->Keyboard->Image.pixel(x, y), normal);
}

} // namespace
