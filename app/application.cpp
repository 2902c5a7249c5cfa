#include "app/application.h"

#include "support/message_boxes.h"

#include <QMessageBox>

namespace app {

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {
  setApplicationName("Chorvanta Song Editor");
  setApplicationDisplayName("Chorvanta Song Editor");
  setApplicationVersion(CHORVANTA_VERSION);
}

bool TApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& e) {
    MyServis::ErrorBox(e.what());
  } catch (...) {
    MyServis::ErrorBox("Unknown failure");
  }
  return false;
}

void InstallMessageBoxHook() {
  MyServis::SetMessageBoxHook(
      [](const std::string& text, const std::string& caption, MyServis::TMessageStyle style) {
        QMessageBox box(QApplication::activeWindow());
        box.setWindowTitle(QString::fromStdString(caption));
        box.setText(QString::fromStdString(text));
        switch (style.Icon) {
        case MyServis::TMessageIcon::miInformation:
          box.setIcon(QMessageBox::Information);
          break;
        case MyServis::TMessageIcon::miWarning:
          box.setIcon(QMessageBox::Warning);
          break;
        case MyServis::TMessageIcon::miError:
          box.setIcon(QMessageBox::Critical);
          break;
        case MyServis::TMessageIcon::miQuestion:
          box.setIcon(QMessageBox::Question);
          break;
        case MyServis::TMessageIcon::miNone:
          break;
        }
        if (style.Buttons == MyServis::TMessageButtons::mbYesNo) {
          box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
          return box.exec() == QMessageBox::Yes ? MyServis::TMessageResult::mrYes
                                                : MyServis::TMessageResult::mrNo;
        }
        box.exec();
        return MyServis::TMessageResult::mrOK;
      });
}

} // namespace app
