#include "app/new_song_wnd.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStorageInfo>
#include <QTreeView>
#include <QVBoxLayout>

namespace app {

TNewSongWnd::TNewSongWnd(QWidget* parent) : QDialog(parent) {
  setWindowTitle("New Song");
  auto* column = new QVBoxLayout(this);
  column->addWidget(new QLabel("Song (folder) name:"));
  SongNameEdit = new QLineEdit;
  SongNameEdit->setToolTip(
      "This is the name of a folder to be created in the location specified below");
  column->addWidget(SongNameEdit);

  column->addWidget(new QLabel("Location:"));
  // The home folder and the mounted volumes stand where drive letters would.
  DriveBox = new QComboBox;
  DriveBox->addItem(QDir::homePath(), QDir::homePath());
  column->addWidget(DriveBox);

  DirBox = new QTreeView;
  DirBox->setHeaderHidden(true);
  DirBox->setMinimumSize(320, 220);
  column->addWidget(DirBox, 1);

  BOMbox = new QCheckBox("use BOM (UTF-8 encoding marker)");
  column->addWidget(BOMbox);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  column->addWidget(buttons);

  // A song needs a folder name.
  QPushButton* ok = buttons->button(QDialogButtonBox::Ok);
  ok->setEnabled(false);
  connect(SongNameEdit, &QLineEdit::textChanged, ok,
          [ok](const QString& text) { ok->setEnabled(!text.trimmed().isEmpty()); });
  connect(DriveBox, &QComboBox::currentIndexChanged, this, &TNewSongWnd::ShowLocation);
  setFixedSize(sizeHint());
}

void TNewSongWnd::showEvent(QShowEvent* event) {
  // The folder tree reads the disk on a thread of its own, so it starts only
  // when the dialog is first shown.
  if (folders_ == nullptr) {
    // Asking every volume can take a while, so it waits until it is needed too.
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes())
      if (volume.isValid() && volume.isReady() && DriveBox->findData(volume.rootPath()) < 0)
        DriveBox->addItem(volume.rootPath(), volume.rootPath());
    folders_ = new QFileSystemModel(this);
    folders_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    folders_->setRootPath(QDir::rootPath());
    DirBox->setModel(folders_);
    for (int c = 1; c < folders_->columnCount(); ++c)
      DirBox->hideColumn(c);
    ShowLocation(DriveBox->currentIndex());
  }
  QDialog::showEvent(event);
}

void TNewSongWnd::ShowLocation(int index) {
  if (folders_ == nullptr) return;
  const QString root = DriveBox->itemData(index).toString();
  DirBox->setRootIndex(folders_->index(root));
  DirBox->setCurrentIndex({});
}

std::string TNewSongWnd::SongName() const {
  return SongNameEdit->text().trimmed().toStdString();
}

std::string TNewSongWnd::Location() const {
  const QModelIndex chosen = DirBox->currentIndex();
  if (folders_ != nullptr && chosen.isValid()) return folders_->filePath(chosen).toStdString();
  return DriveBox->currentData().toString().toStdString();
}

bool TNewSongWnd::UseBOM() const {
  return BOMbox->isChecked();
}

void TNewSongWnd::SetUseBOM(bool use) {
  BOMbox->setChecked(use);
}

void TNewSongWnd::SetLocation(const std::string& folder) {
  const QString path = QString::fromStdString(folder);
  int index = DriveBox->findData(path);
  if (index < 0) {
    DriveBox->insertItem(0, path, path);
    index = 0;
  }
  DriveBox->setCurrentIndex(index);
  ShowLocation(index);
}

} // namespace app
