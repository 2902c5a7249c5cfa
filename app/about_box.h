#pragma once
// The About box: the product's name, its version and two lines about it.
#include <QDialog>

namespace app {

class TAboutBox : public QDialog {
  Q_OBJECT
public:
  explicit TAboutBox(QWidget* parent = nullptr);
};

} // namespace app
