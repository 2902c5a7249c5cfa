#pragma once
// While long work runs with the event loop turning, the window keeps painting and
// resizing, but the user's input reaches only one control (a Cancel button):
// commands started in the middle of the work would find the song half loaded.
#include <QObject>

class QWidget;

namespace app {

class TInputBlocker : public QObject {
public:
  // Installs itself on the application until destroyed; Escape clicks `open`.
  explicit TInputBlocker(QWidget* open);
  ~TInputBlocker() override;
  TInputBlocker(const TInputBlocker&) = delete;
  TInputBlocker& operator=(const TInputBlocker&) = delete;

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  QWidget* open_;
};

} // namespace app
