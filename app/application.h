#pragma once
// The application object: nothing thrown by a handler reaches Qt's event loop.
#include <QApplication>

namespace app {

class TApplication : public QApplication {
  Q_OBJECT
public:
  TApplication(int& argc, char** argv);
  bool notify(QObject* receiver, QEvent* event) override;
};

// Message boxes of the core shown as the window's own dialogs.
void InstallMessageBoxHook();

} // namespace app
