#pragma once
// The About box: the product's name, its version, two lines about it and its
// licence.
#include <QDialog>

namespace app {

inline constexpr const char* LicenceText =
    "Free software under the GNU General Public License, version 3 or later.";

class TAboutBox : public QDialog {
  Q_OBJECT
public:
  explicit TAboutBox(QWidget* parent = nullptr);
};

} // namespace app
