#pragma once
// The tag editor's window: a two-column table of the song's descriptive tags.
#include <QDialog>

class QTableWidget;

namespace app {

class TTagForm : public QDialog {
  Q_OBJECT
public:
  explicit TTagForm(QWidget* parent = nullptr);

  QTableWidget* VList;
};

} // namespace app
