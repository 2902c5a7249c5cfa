#include "app/image_widget.h"

#include <QPainter>

namespace app {

TImageWidget::TImageWidget(QWidget* parent) : QWidget(parent) {
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void TImageWidget::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.drawImage(0, 0, Image);
}

void TImageWidget::resizeEvent(QResizeEvent*) {
  emit Resized();
}

void TImageWidget::mousePressEvent(QMouseEvent* event) {
  emit MouseDown(event);
}

void TImageWidget::mouseMoveEvent(QMouseEvent* event) {
  emit MouseMove(event);
}

void TImageWidget::mouseReleaseEvent(QMouseEvent* event) {
  emit MouseUp(event);
}

void TImageWidget::leaveEvent(QEvent*) {
  emit MouseLeave();
}

void TImageWidget::wheelEvent(QWheelEvent* event) {
  emit Wheel(event);
}

} // namespace app
