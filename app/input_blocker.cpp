#include "app/input_blocker.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace app {

TInputBlocker::TInputBlocker(QWidget* open) : open_(open) {
  qApp->installEventFilter(this);
}

TInputBlocker::~TInputBlocker() {
  qApp->removeEventFilter(this);
}

bool TInputBlocker::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
  case QEvent::MouseButtonPress:
  case QEvent::MouseButtonRelease:
  case QEvent::MouseButtonDblClick:
    return watched != open_;
  case QEvent::KeyPress:
    if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
      if (auto* button = qobject_cast<QAbstractButton*>(open_)) button->click();
    }
    return true;
  case QEvent::KeyRelease:
  case QEvent::ShortcutOverride:
  case QEvent::Shortcut:
  case QEvent::Wheel:
  case QEvent::ContextMenu:
  case QEvent::Drop:
  case QEvent::Close:
    return true;
  default:
    return false;
  }
}

} // namespace app
