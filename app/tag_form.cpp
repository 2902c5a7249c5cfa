#include "app/tag_form.h"

#include "song/lyrics_text.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>

namespace app {
namespace {

// Only what the user types is encoded: a value that is not UTF-8 keeps its bytes
// as long as its cell is left alone.
QString Shown(const std::string& bytes) {
  return QString::fromStdU16String(songData::DecodeText(bytes));
}

std::string Typed(const QString& text) {
  return songData::EncodeText(text.toStdU16String());
}

} // namespace

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
  VList->setSelectionMode(QAbstractItemView::SingleSelection);
  VList->installEventFilter(this);
  column->addWidget(VList);

  auto* buttons = new QHBoxLayout;
  buttons->setContentsMargins(6, 0, 6, 6);
  AddButton = new QPushButton("Add tag");
  AddButton->setToolTip("Adds a row at the end (Insert)");
  DeleteButton = new QPushButton("Delete tag");
  DeleteButton->setToolTip("Deletes the current row (Delete)");
  for (QPushButton* button : {AddButton, DeleteButton}) {
    // Enter finishes typing in a cell; it must not press a button as well.
    button->setAutoDefault(false);
    buttons->addWidget(button);
  }
  Message = new QLabel;
  buttons->addWidget(Message, 1);
  column->addLayout(buttons);

  connect(VList, &QTableWidget::itemChanged, this, &TTagForm::VListStringsChange);
  connect(AddButton, &QPushButton::clicked, this, &TTagForm::AddRow);
  connect(DeleteButton, &QPushButton::clicked, this, [this] { DeleteRow(VList->currentRow()); });
  ShowRows();
  resize(460, 360);
}

void TTagForm::Open(const std::vector<std::string>& tags) {
  tagEditor::FillTagTable(table_, tags);
  changed_ = false;
  Message->clear();
  ShowRows();
  VList->setCurrentCell(0, 1);
}

void TTagForm::AddRow() {
  table_.Rows.emplace_back();
  changed_ = true;
  ShowRows();
  const int row = VList->rowCount() - 1;
  VList->setCurrentCell(row, 0);
  VList->editItem(VList->item(row, 0));
}

void TTagForm::DeleteRow(int row) {
  if (row < 0 || row >= static_cast<int>(table_.Rows.size())) return;
  table_.Rows.erase(table_.Rows.begin() + row);
  changed_ = true;
  ShowRows();
}

void TTagForm::done(int result) {
  // Leaving the current cell commits an open editor.
  VList->setCurrentIndex(QModelIndex());
  QDialog::done(result);
}

bool TTagForm::eventFilter(QObject* watched, QEvent* event) {
  // Keys a cell's editor leaves alone reach the table too; they stay the editor's.
  if (watched == VList && event->type() == QEvent::KeyPress &&
      VList->indexWidget(VList->currentIndex()) == nullptr) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Insert) {
      AddRow();
      return true;
    }
    if (key == Qt::Key_Delete) {
      DeleteRow(VList->currentRow());
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void TTagForm::ShowRows() {
  const QSignalBlocker blocker(VList);
  VList->setRowCount(static_cast<int>(table_.Rows.size()));
  for (int row = 0; row < VList->rowCount(); ++row)
    ShowRow(row);
}

void TTagForm::ShowRow(int row) {
  const QSignalBlocker blocker(VList);
  const tagEditor::TTagRow& shown = table_.Rows[static_cast<std::size_t>(row)];
  const QString texts[2] = {Shown(shown.Key), Shown(shown.Value)};
  for (int column = 0; column < 2; ++column) {
    if (QTableWidgetItem* item = VList->item(row, column)) {
      item->setText(texts[column]);
    } else {
      VList->setItem(row, column, new QTableWidgetItem(texts[column]));
    }
  }
}

void TTagForm::VListStringsChange(QTableWidgetItem* item) {
  const int row = item->row();
  if (row < 0 || row >= static_cast<int>(table_.Rows.size())) return;
  tagEditor::TTagRow& edited = table_.Rows[static_cast<std::size_t>(row)];
  const tagEditor::TTagRow before = edited;
  if (item->column() == 0) {
    const std::string refusal = tagEditor::RenameTagRow(table_, row, Typed(item->text()));
    Message->setText(QString::fromStdString(refusal));
  } else {
    tagEditor::SetTagValue(table_, row, Typed(item->text()));
  }
  changed_ = changed_ || edited != before;
  // The table's own spelling: the key in upper case, a refused name undone.
  ShowRow(row);
}

} // namespace app
