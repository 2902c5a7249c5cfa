#include "main_window_fixture.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <functional>

namespace {

using TLines = std::vector<std::string>;

const std::string Header = "#title:Song\r\n#BPM:300\r\n#ARTIST:  Caf\xC3\xA9 Band\r\n"
                           "#GAP:1500\r\n#EDITION\r\n#YEAR:1999\r\n";
const std::string Body = ": 0 4 12 la\r\nE\r\n";

class TagEditor : public MainWindow {
protected:
  // Runs Edit tags with the window shown; `edit` works on it before it is closed.
  void EditTags(const std::function<void(app::TTagForm&)>& edit = {}) {
    Form->Dialogs.RunTagEditor = [this, edit] {
      TagForm->show();
      if (edit) edit(*TagForm);
      TagForm->close();
    };
    Form->EditTags->trigger();
  }
  QString Cell(int row, int column) const { return TagForm->VList->item(row, column)->text(); }
  void SetCell(int row, int column, const QString& text) {
    TagForm->VList->item(row, column)->setText(text);
  }
  // The cell's editor, opened as a double click would.
  QLineEdit* Editor(int row, int column) {
    QTableWidget* list = TagForm->VList;
    const QModelIndex index = list->model()->index(row, column);
    if (list->indexWidget(index) == nullptr) {
      list->setCurrentIndex(index);
      list->edit(index);
    }
    return qobject_cast<QLineEdit*>(list->indexWidget(index));
  }
  // Types into the cell and leaves it.
  void Type(int row, int column, const QString& text) {
    QLineEdit* editor = Editor(row, column);
    ASSERT_NE(editor, nullptr);
    editor->setText(text);
    TagForm->VList->setCurrentIndex(QModelIndex());
  }
  void PressKey(Qt::Key key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(TagForm->VList, &press);
  }
};

TEST_F(TagEditor, OpeningAndClosingWithoutAChangeLeavesTheTagsAlone) {
  Start(QString::fromStdString(WriteSong("s.txt", Header + Body)));
  const TLines loaded = Song.Tags;
  EditTags([this](app::TTagForm&) {
    EXPECT_EQ(Cell(0, 0), "TITLE");
    EXPECT_EQ(Cell(0, 1), "Song");
    EXPECT_EQ(Cell(1, 1), "Caf\u00e9 Band");   // UTF-8 as it is, blanks in front gone
    EXPECT_EQ(TagForm->VList->rowCount(), 10); // eight initial rows, EDITION, YEAR
  });
  EXPECT_EQ(Song.Tags, loaded);
  EXPECT_FALSE(Form->IsModified());
}

TEST_F(TagEditor, ChangingAValueRewritesTheHeaderAndTheSaveAddsTheTiming) {
  Start(QString::fromStdString(WriteSong("s.txt", "#MP3:s.mp3\r\n" + Header + Body)));
  EditTags([this](app::TTagForm&) { SetCell(2, 1, "Greatest"); });
  EXPECT_EQ(Song.Tags, (TLines{"#MP3:s.mp3", "#TITLE:Song", "#ARTIST:Caf\xC3\xA9 Band",
                               "#ALBUM:Greatest", "#YEAR:1999"}));
  EXPECT_TRUE(Form->IsModified());
  EXPECT_TRUE(Form->isWindowModified());
  Form->SongSaveExecute();
  EXPECT_EQ(Folder.Read("s.txt"), "#MP3:s.mp3\r\n#TITLE:Song\r\n#ARTIST:Caf\xC3\xA9 Band\r\n"
                                  "#ALBUM:Greatest\r\n#YEAR:1999\r\n#BPM:300\r\n#GAP:1500\r\n"
                                  "#VIDEOGAP:0\r\n" +
                                      Body);
}

TEST_F(TagEditor, WhatIsBeingTypedIsKeptWhenTheWindowCloses) {
  Start(QString::fromStdString(WriteSong("s.txt", Header + Body)));
  EditTags([this](app::TTagForm&) {
    QLineEdit* editor = Editor(0, 1);
    ASSERT_NE(editor, nullptr);
    editor->setText("Typed");
  });
  EXPECT_EQ(Song.Tags[0], "#TITLE:Typed");
}

TEST_F(TagEditor, RowsAreAddedRenamedAndDeletedWithKeysKeptUnique) {
  Start(QString::fromStdString(WriteSong("s.txt", Header + Body)));
  EditTags([this](app::TTagForm& form) {
    PressKey(Qt::Key_Insert);
    ASSERT_EQ(form.VList->rowCount(), 11);
    Type(10, 0, "#genre"); // the new row's name is open for typing
    Type(10, 1, "Pop");
    EXPECT_EQ(Cell(10, 0), "GENRE");
    Type(9, 0, "title"); // YEAR may not become a second TITLE
    EXPECT_EQ(Cell(9, 0), "YEAR");
    EXPECT_FALSE(form.Message->text().isEmpty());
    form.VList->setCurrentCell(0, 0);
    PressKey(Qt::Key_Delete);
    EXPECT_EQ(Cell(0, 0), "ARTIST");
  });
  EXPECT_EQ(Song.Tags, (TLines{"#ARTIST:Caf\xC3\xA9 Band", "#YEAR:1999", "#GENRE:Pop"}));
}

TEST_F(TagEditor, BytesThatAreNotUtf8SurviveAChangeElsewhere) {
  // A code page the reader cannot convert keeps the file's own bytes.
  Start(QString::fromStdString(
      WriteSong("s.txt", "#ENCODING:CP1250\r\n#ARTIST:Beyonc\xE9\r\n" + Body)));
  EditTags([this](app::TTagForm&) { SetCell(0, 1, "Title"); });
  EXPECT_EQ(Song.Tags, (TLines{"#TITLE:Title", "#ARTIST:Beyonc\xE9", "#ENCODING:CP1250"}));
}

TEST_F(TagEditor, ValuesOfAnotherSongDoNotReachThisOne) {
  Start(QString::fromStdString(WriteSong("first.txt", Header + Body)));
  EditTags([this](app::TTagForm&) { SetCell(2, 1, "First album"); });
  Form->LoadSong(WriteSong("second.txt", "#TITLE:Second\r\n" + Body));
  EditTags([this](app::TTagForm&) {
    EXPECT_EQ(Cell(2, 1), "");
    EXPECT_EQ(Cell(8, 0), "EDITION"); // keys stay, values go
    SetCell(1, 1, "Other band");
  });
  EXPECT_EQ(Song.Tags, (TLines{"#TITLE:Second", "#ARTIST:Other band"}));
}

TEST_F(TagEditor, SongWhoseMusicWasNotFoundKeepsItsOwnMusicLine) {
  WriteMusic("first.mp3", 1.0);
  Start(QString::fromStdString(WriteSong("first.txt", Header + Body)));
  ASSERT_EQ(Song.MusicFileName, "first.mp3");
  Form->LoadSong(WriteSong("second.txt", "#MP3:missing.mp3\r\n#TITLE:Second\r\n" + Body));
  ASSERT_FALSE(Song.MusicLoaded);
  EditTags([this](app::TTagForm&) { SetCell(0, 1, "Changed"); });
  EXPECT_EQ(Song.Tags, (TLines{"#MP3:missing.mp3", "#TITLE:Changed"}));
  // Without a line of its own, the name left from the first song is not taken.
  Form->LoadSong(WriteSong("third.txt", "#TITLE:Third\r\n" + Body));
  EditTags([this](app::TTagForm&) { SetCell(0, 1, "Changed"); });
  EXPECT_EQ(Song.Tags, (TLines{"#TITLE:Changed"}));
}

} // namespace
