#pragma once
// A control that shows an image drawn elsewhere and reports the mouse and its
// size to the window, which does all the work.
#include <QImage>
#include <QWidget>

namespace app {

class TImageWidget : public QWidget {
  Q_OBJECT
public:
  explicit TImageWidget(QWidget* parent = nullptr);

  // The image the window draws into; it is shown as it is at the next paint.
  QImage Image;

signals:
  void Resized();
  void MouseDown(QMouseEvent* event);
  void MouseMove(QMouseEvent* event);
  void MouseUp(QMouseEvent* event);
  void MouseLeave();
  void Wheel(QWheelEvent* event);

protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
};

} // namespace app
