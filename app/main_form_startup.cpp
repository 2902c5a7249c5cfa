// Start-up and shutdown of the main window, and the wiring of its controls.
#include "app/about_box.h"
#include "app/image_widget.h"
#include "app/main_form.h"
#include "app/new_song_wnd.h"
#include "app/settings_dialog.h"
#include "app/tag_form.h"
#include "app/tempo_dialog.h"
#include "support/file_io.h"
#include "support/log.h"
#include "support/message_boxes.h"
#include "support/program_files.h"
#include "support/program_settings.h"
#include "support/runtime_errors.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSlider>
#include <QStatusTipEvent>
#include <QTimer>
#include <QUrl>
#include <filesystem>

namespace app {
namespace {

constexpr const char* AnalyserEvent = "MAIN\\Analyser";
// Music and vocals alike: every format the decoders take.
constexpr const char* MusicFileFilter =
    "Music files (*.mp3 *.ogg *.opus *.m4a *.aac *.flac *.wav);;All files (*)";

// The window that receives the analyser's progress; events carry no receiver.
TMainForm* ProgressReceiver = nullptr;

void AnalyserProgressHandler(std::string_view name, std::int32_t value) {
  if (ProgressReceiver == nullptr) return;
  if (name == AnalyserEvent) ProgressReceiver->AnalyserProgress(value);
  if (name == pitch::PitchEvent) ProgressReceiver->PitchProgress(value);
}

void LogQuietly(const std::string& message) {
  try {
    MyServis::LogMessage(message);
  } catch (const std::exception&) {
    // Without a log the program still works.
  }
}

} // namespace

void TMainForm::InstallDefaultDialogs() {
  Dialogs.ChooseSongFile = [this](const QString& startFolder) {
    return QFileDialog::getOpenFileName(this, "Load existing song", startFolder,
                                        "Song Files (*.txt)");
  };
  Dialogs.ChooseMusicFile = [this](const QString& startFolder) {
    return QFileDialog::getOpenFileName(this, "Choose Music", startFolder, MusicFileFilter);
  };
  Dialogs.ChooseVocalsFile = [this](const QString& startFolder) {
    return QFileDialog::getOpenFileName(this, "Choose Vocals", startFolder, MusicFileFilter);
  };
  Dialogs.ChooseTempo = [this](const tempo::TTempoEstimate& estimate) {
    return AskTempo(this, estimate);
  };
  Dialogs.RunSettings = [this](int currentMs) { return AskAudioLatency(this, currentMs); };
  Dialogs.AskRecover = [this](const QString& songName) {
    QMessageBox box(QMessageBox::Question, "Chorvanta Song Editor",
                    "Recover unsaved changes to " + songName + "?", QMessageBox::NoButton, this);
    QPushButton* recover = box.addButton("Recover", QMessageBox::AcceptRole);
    box.addButton("Discard", QMessageBox::DestructiveRole);
    box.exec();
    return box.clickedButton() == recover;
  };
  Dialogs.AskSaveChanges = [this](const QString& songName) {
    auto answer = QMessageBox::question(
        this, "Chorvanta Song Editor", "Save changes to " + songName + "?",
        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
    if (answer == QMessageBox::Save) return TSaveAnswer::Save;
    return answer == QMessageBox::Discard ? TSaveAnswer::Discard : TSaveAnswer::Cancel;
  };
  Dialogs.RunNewSongDialog = [this] { return newSongWnd_->exec() == QDialog::Accepted; };
  Dialogs.RunAboutBox = [this] { aboutBox_->exec(); };
  Dialogs.RunTagEditor = [this] { tagForm_->exec(); };
  Dialogs.OpenDocument = [](const QString& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
  };
}

void TMainForm::ConnectHandlers() {
  connect(QApplication::clipboard(), &QClipboard::dataChanged, this,
          [this] { Run([this] { ClipboardChanged(); }); });
  connect(MixBar, &QSlider::valueChanged, this, [this] { Run([this] { MixBarChange(); }); });
  connect(TransposeBox, &QComboBox::activated, this,
          [this] { Run([this] { TransposeBoxChange(); }); });
  connect(VoiceBox, &QComboBox::activated, this, [this] { Run([this] { VoiceBoxChange(); }); });
  connect(SpeedBox, &QComboBox::currentIndexChanged, this,
          [this] { Run([this] { SpeedBoxChange(); }); });
  connect(Scroll, &QScrollBar::valueChanged, this, [this] { Run([this] { ScrollChange(); }); });
  connect(RecoveryTimer, &QTimer::timeout, this, [this] { Run([this] { KeepRecovery(true); }); });
  connect(Timer, &QTimer::timeout, this, [this] {
    // A message shown by a tick runs its own event loop; the ticks in it wait.
    if (inTimer_) return;
    inTimer_ = true;
    Run([this] { TimerTimer(); });
    inTimer_ = false;
  });
  connect(Lyrics, &QPlainTextEdit::textChanged, this, [this] { Run([this] { LyricsChange(); }); });
  connect(editBPM, &QLineEdit::returnPressed, this, [this] { Run([this] { editBPMExit(); }); });
  for (QLineEdit* gap : {editGAP, EditVGap})
    connect(gap, &QLineEdit::returnPressed, this, [this] { Run([this] { editGAPExit(); }); });
  connect(MainImg, &TImageWidget::Resized, this, [this] { Run([this] { LayoutImages(); }); });
  connect(display, &TImageWidget::Resized, this, [this] { Run([this] { LayoutImages(); }); });
  connect(Keyboard, &TImageWidget::Resized, this, [this] { Run([this] { LayoutImages(); }); });
  ConnectMouse(MainImg, &TMainForm::MainImgMouseDown, &TMainForm::MainImgMouseMove,
               &TMainForm::MainImgMouseUp, &TMainForm::MainImgMouseLeave);
  ConnectMouse(Keyboard, &TMainForm::KeyboardMouseDown, &TMainForm::KeyboardMouseMove,
               &TMainForm::KeyboardMouseUp, &TMainForm::KeyboardMouseLeave);
  for (TImageWidget* widget : {MainImg, Keyboard})
    connect(widget, &TImageWidget::Wheel, this,
            [this](QWheelEvent* e) { Run([this, e] { FormMouseWheel(e); }); });
  // One filter on the application sees the fields' focus, the memo's clicks and
  // every key.
  QApplication::instance()->installEventFilter(this);
  ClipboardChanged();
}

void TMainForm::ConnectMouse(TImageWidget* widget, TMouseHandler down, TMouseHandler move,
                             TMouseHandler up, void (TMainForm::*leave)()) {
  for (const auto& link :
       {std::pair{&TImageWidget::MouseDown, down}, std::pair{&TImageWidget::MouseMove, move},
        std::pair{&TImageWidget::MouseUp, up}}) {
    const TMouseHandler handler = link.second;
    connect(widget, link.first, this,
            [this, handler](QMouseEvent* e) { Run([this, handler, e] { (this->*handler)(e); }); });
  }
  connect(widget, &TImageWidget::MouseLeave, this,
          [this, leave] { Run([this, leave] { (this->*leave)(); }); });
}

void TMainForm::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  // The file dialog of the first activation comes once the window is on screen.
  if (!activated_) QTimer::singleShot(0, this, [this] { Run([this] { FormActivate(); }); });
}

void TMainForm::FormActivate() {
  if (activated_) return;
  activated_ = true;
  MyServis::OpenLog(context_.LogFolder + "/main.log");
  // Where an installed copy found its files, for whoever reads the log after a fault.
  LogQuietly(std::string("Chorvanta Song Editor ") + CHORVANTA_VERSION + ", settings in " +
             context_.SettingsFolder + ", tone sample " + player::ToneSamplePath() + ", manual " +
             MyServis::ShippedFile("manual.htm"));
  OpenSettings();
  if (settings_) {
    latencyMs_ = ProgramSettings::AudioLatencyMs(*settings_);
    context_.History.Capacity = ProgramSettings::UndoSteps(*settings_);
  }
  RestoreZoom();
  context_.Song.BPM = 125.0;
  UpdateBeatScale();
  UpdateTimeline();
  View.RangeStart = View.RangeEnd = editor::NoRange;
  LayoutImages();
  ProgressReceiver = this;
  EventMan::RegisterHandler(context_.Events, "MAIN", &AnalyserProgressHandler, EventMan::hmAuto);
  StartPlayer();
  Commit(chNotes, true);
  Timer->start();
  if (OfferRecovery()) return;
  if (startupSong_.empty())
    SongOpenExecute();
  else
    LoadSong(startupSong_);
}

void TMainForm::OpenSettings() {
  try {
    settings_ = ProgramSettings::OpenSettings(context_.SettingsFolder);
    return;
  } catch (const std::exception& e) {
    LogQuietly(std::string("No settings: ") + e.what());
  }
  // A missing or damaged file is replaced by an empty one where the folder allows.
  try {
    const std::string path = context_.SettingsFolder + "/settings.ctl";
    // A FIFO or a device in its place is never written: it could block the start.
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status))
      throw MyServis::EInOutError("\"" + path + "\" is not a regular file");
    if (MyServis::RegularFileExists(path)) MyServis::KeepCopyNoReplace(path, path + ".damaged");
    MyServis::WriteFileAtomically(path, "");
    settings_ = ProgramSettings::OpenSettings(context_.SettingsFolder);
    LogQuietly("Started a new settings file " + path);
  } catch (const std::exception& e) {
    LogQuietly(std::string("Going on without settings: ") + e.what());
  }
}

void TMainForm::StartPlayer() {
  try {
    player::InitPlayer(context_.Player, 2205,
                       context_.MakeOutput ? context_.MakeOutput() : nullptr);
  } catch (const std::exception& e) {
    MyServis::ErrorBox(std::string("No sound: ") + e.what());
  }
}

void TMainForm::closeEvent(QCloseEvent* event) {
  bool mayClose = false;
  Run([&] {
    StopIfPlaying();
    mayClose = MayReplaceSong();
  });
  if (!mayClose) {
    event->ignore();
    return;
  }
  ShutDown();
  event->accept();
}

void TMainForm::ShutDown() {
  if (shutDown_) return;
  shutDown_ = true;
  Timer->stop();
  analyser::StopAnalysers(context_.Analyser);
  pitch::StopPitchWorker(pitchWorker_);
  player::ShutdownPlayer(context_.Player);
  if (ProgressReceiver == this) ProgressReceiver = nullptr;
}

bool TMainForm::event(QEvent* event) {
  if (event->type() == QEvent::StatusTip) {
    SetStatusText(static_cast<QStatusTipEvent*>(event)->tip());
    return true;
  }
  return QMainWindow::event(event);
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
  // Every key meant for this window is seen here first, once, and then goes on
  // to the control that has the focus.
  if (event->type() == QEvent::KeyPress && watched->isWidgetType()) {
    auto* widget = static_cast<QWidget*>(watched);
    const QWidget* focus = QApplication::focusWidget();
    if (widget->window() == this && (widget == focus || (focus == nullptr && widget == this)))
      Run([this, event] { FormKeyDown(static_cast<QKeyEvent*>(event)); });
    return false;
  }
  if (event->type() == QEvent::FocusOut) {
    // Only a move to another control leaves a field, not a switch of windows.
    auto reason = static_cast<QFocusEvent*>(event)->reason();
    if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
      if (watched == editBPM) Run([this] { editBPMExit(); });
      if (watched == editGAP || watched == EditVGap) Run([this] { editGAPExit(); });
      if (watched == Lyrics) Run([this] { LyricsExit(); });
    }
  }
  if (watched == Lyrics->viewport() && event->type() == QEvent::MouseButtonRelease)
    Run([this] { LyricsClick(); });
  return QMainWindow::eventFilter(watched, event);
}

} // namespace app
