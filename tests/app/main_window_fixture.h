#pragma once
// The real main window on the offscreen platform, working on the test's own
// song, player and files, with the file dialogs and questions answered by the test.
#include "app/about_box.h"
#include "app/main_form.h"
#include "app/new_song_wnd.h"
#include "app/tag_form.h"
#include "audio/capture_output.h"
#include "common/temp_folder.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

class MainWindow : public testing::Test {
protected:
  MainWindow();
  ~MainWindow() override;

  // A new window on the same song, player and folders, as a restart makes it;
  // the old one goes without closing, as a killed program would.
  void MakeForm();
  // Shows the window and runs its first activation; the file dialog it opens
  // answers with startupChoice.
  void Start(const QString& startupChoice = {});
  // A song file in the test's folder; returns its path.
  std::string WriteSong(const std::string& name, const std::string& body) const;
  // A stereo sine of this length beside it, as "name".
  void WriteMusic(const std::string& name, double seconds) const;
  // The lines of the lyrics memo.
  QStringList MemoLines() const;

  TTempFolder Folder;
  songData::TSong Song;
  songData::TUndoHistory History;
  std::shared_ptr<const songData::TPcmMusic> Music; // the window's
  player::TPlayer Player;
  analyser::TAnalyser Analyser;
  EventMan::TEventManager Events;
  player::TCaptureOutput* Output = nullptr; // owned by the player

  std::unique_ptr<app::TMainForm> Form;
  std::unique_ptr<app::TNewSongWnd> NewSongWnd;
  std::unique_ptr<app::TAboutBox> AboutBox;
  std::unique_ptr<app::TTagForm> TagForm;

  // What the window asked and showed.
  std::vector<QString> SongDialogFolders;
  std::vector<QString> SaveQuestions;
  std::vector<QString> RecoverQuestions;
  std::vector<std::string> ErrorTexts;
  std::vector<std::string> YesNoQuestions;
  app::TSaveAnswer SaveAnswer = app::TSaveAnswer::Cancel;
  bool YesNoAnswer = false;
  bool RecoverAnswer = true;
  QString SongChoice;
};
