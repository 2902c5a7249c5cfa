#include "app/tag_form.h"

#include <QHeaderView>
#include <QTableWidget>
#include <QVBoxLayout>

namespace app {

TTagForm::TTagForm(QWidget* parent) : QDialog(parent) {
  setWindowTitle("Tags Editor");
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  VList = new QTableWidget(0, 2);
  VList->setHorizontalHeaderLabels({"Tag", "Value"});
  VList->setColumnWidth(0, 102);
  VList->setColumnWidth(1, 336);
  VList->horizontalHeader()->setStretchLastSection(true);
  VList->verticalHeader()->hide();
  column->addWidget(VList);
  resize(460, 260);
}

} // namespace app
