#pragma once
// The New Song dialog: the name of the song's folder, where to make it, and
// whether the file starts with a byte order mark.
#include <QDialog>
#include <string>

class QCheckBox;
class QComboBox;
class QFileSystemModel;
class QLineEdit;
class QTreeView;

namespace app {

class TNewSongWnd : public QDialog {
  Q_OBJECT
public:
  explicit TNewSongWnd(QWidget* parent = nullptr);

  std::string SongName() const;
  // The folder chosen in the tree, else the chosen location itself.
  std::string Location() const;
  bool UseBOM() const;
  void SetUseBOM(bool use);
  // Starts the dialog at this folder, the one the last song was made in.
  void SetLocation(const std::string& folder);

  QLineEdit* SongNameEdit;
  QComboBox* DriveBox;
  QTreeView* DirBox;
  QCheckBox* BOMbox;

protected:
  void showEvent(QShowEvent* event) override;

private:
  void ShowLocation(int index);
  QFileSystemModel* folders_ = nullptr;
};

} // namespace app
