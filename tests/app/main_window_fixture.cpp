#include "main_window_fixture.h"

#include "audio/audio_fixtures.h"
#include "support/message_boxes.h"

#include <QApplication>
#include <QPlainTextEdit>

namespace {

// One application object for the whole test program.
void EnsureApplication() {
  static int argc = 1;
  static char name[] = "app_tests";
  static char* argv[] = {name, nullptr};
  if (QApplication::instance() == nullptr) new QApplication(argc, argv);
}

} // namespace

MainWindow::MainWindow() {
  EnsureApplication();
  MyServis::SetMessageBoxHook(
      [this](const std::string& text, const std::string&, MyServis::TMessageStyle style) {
        if (style.Buttons == MyServis::TMessageButtons::mbYesNo) {
          YesNoQuestions.push_back(text);
          return YesNoAnswer ? MyServis::TMessageResult::mrYes : MyServis::TMessageResult::mrNo;
        }
        ErrorTexts.push_back(text);
        return MyServis::TMessageResult::mrOK;
      });
  MakeForm();
}

void MainWindow::MakeForm() {
  Form.reset();
  app::TEditorContext context{Song,
                              History,
                              Music,
                              Player,
                              Analyser,
                              Events,
                              Folder.Path(),
                              Folder.Path(),
                              [this] {
                                // Buffers stop finishing after a second, so the
                                // player thread waits instead of spinning.
                                auto output = std::make_unique<player::TCaptureOutput>(44100);
                                Output = output.get();
                                return output;
                              },
                              Folder.File("recovery")};
  Form = std::make_unique<app::TMainForm>(context);
  NewSongWnd = std::make_unique<app::TNewSongWnd>();
  AboutBox = std::make_unique<app::TAboutBox>();
  TagForm = std::make_unique<app::TTagForm>();
  Form->AttachDialogs(*NewSongWnd, *AboutBox, *TagForm);
  Form->Dialogs.ChooseSongFile = [this](const QString& folder) {
    SongDialogFolders.push_back(folder);
    return SongChoice;
  };
  Form->Dialogs.AskSaveChanges = [this](const QString& name) {
    SaveQuestions.push_back(name);
    return SaveAnswer;
  };
  Form->Dialogs.AskRecover = [this](const QString& name) {
    RecoverQuestions.push_back(name);
    return RecoverAnswer;
  };
}

MainWindow::~MainWindow() {
  Form.reset(); // before the dialogs it refers to
  MyServis::SetMessageBoxHook({});
}

void MainWindow::Start(const QString& startupChoice) {
  SongChoice = startupChoice;
  Form->show();
  Form->FormActivate();
  SongChoice.clear();
}

std::string MainWindow::WriteSong(const std::string& name, const std::string& body) const {
  return Folder.Write(name, body);
}

void MainWindow::WriteMusic(const std::string& name, double seconds) const {
  const int frames = static_cast<int>(44100 * seconds);
  audiotest::EncodeMp3(Folder.File(name), audiotest::SineSamples(44100, 2, frames, 440.0, 8000),
                       44100, 2);
}

QStringList MainWindow::MemoLines() const {
  return Form->Lyrics->toPlainText().split('\n');
}
