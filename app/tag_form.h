#pragma once
// The tag editor's window: a two-column table of the song's descriptive tags.
// It lives for the whole run and keeps its rows from one opening to the next.
#include "song/tag_table.h"

#include <QDialog>
#include <string>
#include <vector>

class QLabel;
class QPushButton;
class QTableWidget;
class QTableWidgetItem;

namespace app {

class TTagForm : public QDialog {
  Q_OBJECT
public:
  explicit TTagForm(QWidget* parent = nullptr);

  // Shows the song's header lines and clears the changed flag.
  void Open(const std::vector<std::string>& tags);
  // Whether the table's contents changed since Open.
  bool Changed() const { return changed_; }
  const tagEditor::TTagTable& Table() const { return table_; }

  // An unnamed row at the end, its name cell open for typing.
  void AddRow();
  void DeleteRow(int row);
  // Takes what is being typed into a cell, then closes; closing always keeps edits.
  void done(int result) override;

  QTableWidget* VList;
  QPushButton* AddButton;
  QPushButton* DeleteButton;
  QLabel* Message; // why a tag name was refused

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  void ShowRows();
  void ShowRow(int row);
  void VListStringsChange(QTableWidgetItem* item);

  tagEditor::TTagTable table_ = tagEditor::InitialTagTable();
  bool changed_ = false;
};

} // namespace app
