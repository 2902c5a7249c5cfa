#pragma once
// The main window: it owns the controls and the view state, and its handlers,
// grouped by concern in the main_form_*.cpp files, call the song, audio and
// editor operations that do the work.
#include "app/editor_context.h"
#include "audio/decode_options.h"
#include "audio/pitch_worker.h"
#include "audio/tempo_detector.h"
#include "editor/view_layout.h"
#include "song/song_baseline.h"
#include "song/song_reader.h"
#include "support/control_files.h"
#include "support/file_io.h"

#include <QMainWindow>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QAction;
class QComboBox;
class QKeyEvent;
class QMouseEvent;
class QWheelEvent;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QScrollBar;
class QSlider;
class QTimer;

namespace songData {
class TRecoveryWriter;
}

namespace app {

class TAboutBox;
class TImageWidget;
class TNewSongWnd;
class TTagForm;

enum class TSaveAnswer { Save, Discard, Cancel };

// The window's questions and file choices; tests give their own answers.
struct TFormDialogs {
  std::function<QString(const QString& startFolder)> ChooseSongFile; // empty: cancelled
  std::function<QString(const QString& startFolder)> ChooseMusicFile;
  std::function<QString(const QString& startFolder)> ChooseVocalsFile;
  // The tempo chosen among the detected ones; nothing when cancelled.
  std::function<std::optional<double>(const tempo::TTempoEstimate&)> ChooseTempo;
  // The audio latency in milliseconds; nothing when cancelled.
  std::function<std::optional<int>(int currentMs)> RunSettings;
  std::function<TSaveAnswer(const QString& songName)> AskSaveChanges;
  // "Recover unsaved changes to NAME?": true for Recover, false for Discard.
  std::function<bool(const QString& songName)> AskRecover;
  std::function<bool()> RunNewSongDialog; // true on OK
  std::function<void()> RunAboutBox;
  std::function<void()> RunTagEditor;
  // False when no program could show it.
  std::function<bool(const QString& path)> OpenDocument;
};

class TMainForm : public QMainWindow {
  Q_OBJECT
public:
  explicit TMainForm(TEditorContext context);
  ~TMainForm() override;

  // The dialogs, made after the main window and living as long as it.
  void AttachDialogs(TNewSongWnd& newSongWnd, TAboutBox& aboutBox, TTagForm& tagForm);
  // Opened at the first activation in place of the file dialog.
  void SetStartupSong(const std::string& path) { startupSong_ = path; }
  // The one-time preparation; the first showing of the window runs it.
  void FormActivate();
  bool Activated() const { return activated_; }

  TFormDialogs Dialogs;
  editor::TViewState View;

  // Actions, in the order of the command table.
  QAction* SongNew;
  QAction* SongOpen;
  QAction* SongSave;
  QAction* SongSaveAs;
  QAction* FileExit1;
  QAction* UndoAction;
  QAction* RedoAction;
  QAction* SelectAll1;
  QAction* Deselect1;
  QAction* EditCut1;
  QAction* EditCopy1;
  QAction* EditPaste1;
  QAction* EditCopy2;
  QAction* EditPaste2;
  QAction* OctaveUp;
  QAction* OctaveDown;
  QAction* ChooseMusic;
  QAction* ChooseVocals;
  QAction* SnapToSungPitch;
  QAction* ShowSungPitch;
  QAction* ZoomIn;
  QAction* ZoomOut;
  QAction* ZoomReset;
  QAction* FitSong;
  QAction* DetectTempo;
  QAction* Slower;
  QAction* Faster;
  QAction* SettingsAction;
  QAction* EditTags;
  QAction* Help;
  QAction* HelpAbout1;
  QAction* plPlay;
  QAction* plStop;

  // Controls.
  QSlider* MixBar;
  QLineEdit* editGAP;
  QLineEdit* EditVGap;
  QLineEdit* editBPM;
  QComboBox* TransposeBox;
  QComboBox* VoiceBox;
  QComboBox* SpeedBox;
  TImageWidget* display;
  TImageWidget* MainImg;
  QScrollBar* Scroll;
  TImageWidget* Keyboard;
  QPlainTextEdit* Lyrics;
  QProgressBar* Progress;
  QLabel* StatusPanels[4];
  QTimer* Timer;
  QTimer* RecoveryTimer;
  QPushButton* CancelLoad; // beside the progress bar while music loads

  // File commands.
  void SongNewExecute();
  void SongOpenExecute();
  void SongSaveExecute();
  // A recovered content is loaded as the song at path, with unsaved changes.
  void LoadSong(const std::string& path, const songData::TSongFileContent* recovered = nullptr);
  // The New Song command after its dialog closed with OK.
  void CreateNewSong(const std::string& location, const std::string& name, bool useBOM);
  // While a song or its music loads, the commands that would replace it wait;
  // each true is undone by one false.
  void SetLoading(bool loading);
  // Whether the song differs from what was last loaded or saved.
  bool IsModified() const;
  // Asks "Save changes to NAME?" when there are unsaved changes; false to cancel.
  bool MayReplaceSong();
  bool AskToReplaceSong();

  // Playback.
  void plPlayExecute();
  void plStopExecute();
  void MixBarChange();
  void TimerTimer();
  void ChooseMusicExecute();
  // Slowed playback, the heard position and the tempo found in the music.
  void SpeedBoxChange();
  void SlowerExecute();
  void FasterExecute();
  void SettingsExecute();
  void DetectTempoExecute();
  // Song seconds of what is heard now while playing, else of the cursor.
  double HeardSongTime() const;
  std::int32_t SoundingTone() const;
  // Decodes off the GUI thread; false when cancelled. The music's notice (it was
  // cut at its most length) is kept in MusicNotice().
  bool LoadMusic(const std::string& path);
  const std::string& MusicNotice() const { return musicNotice_; }
  void AnalyserProgress(int value);
  // The sung pitch: tracked from the song's vocals recording, else its music.
  void ChooseVocalsExecute();
  void SnapToSungPitchExecute();
  void ShowSungPitchExecute();
  void StartPitchTracking();
  void PitchProgress(int value);
  // Waits for the tracking to end and takes its contour at once.
  void FinishPitchTracking();
  // The finished contour, or null while it is tracked or without a recording.
  const pitch::TPitchContour* SungPitch() const { return contour_.get(); }

  // Parameter fields and small commands.
  void ShowSongParameters();
  void ShowTranspose();
  void editBPMExit();
  void editGAPExit();
  void TransposeBoxChange();
  // The voice being edited, P1 or P2; a song starts at P1.
  void VoiceBoxChange();
  void ResetVoice();
  void OctaveUpExecute();
  void OctaveDownExecute();
  void SelectAll1Click();
  void Deselect1Click();
  void UndoActionExecute();
  void RedoActionExecute();
  void HelpExecute();
  void HelpAbout1Execute();
  void FileExit1Execute();

  // Mouse editing on the note view, and the keys the window sees first.
  void MainImgMouseDown(QMouseEvent* event);
  void MainImgMouseMove(QMouseEvent* event);
  void MainImgMouseUp(QMouseEvent* event);
  void MainImgMouseLeave();
  void FormMouseWheel(QWheelEvent* event);
  void FormKeyDown(QKeyEvent* event);

  // Clipboard.
  void EditCopy1Execute();
  void EditCut1Execute();
  void EditPaste1Execute();
  // The clipboard's owner changed: whether it holds notes.
  void ClipboardChanged();

  // Tag editor.
  void EditTagsExecute();

  // Piano keyboard strip.
  void KeyboardPaint();
  void KeyboardMouseMove(QMouseEvent* event);
  void KeyboardMouseDown(QMouseEvent* event);
  void KeyboardMouseUp(QMouseEvent* event);
  void KeyboardMouseLeave();

  // Lyrics memo.
  void RebuildLyrics();
  void LyricsChange();
  void LyricsClick();
  void LyricsExit();

  // The view.
  void UpdateBeatScale();
  void UpdateTimeline();
  void DrawView();
  void DrawLineDisplay();
  void LayoutImages();
  void ScrollChange();
  void FollowCursor(bool jumpIfLeft, bool centre);
  // The view's layout now, from the view state and the note view's size.
  editor::TViewLayout Layout() const;
  // Moves the one scroll value, within its range; the scroll bar shows it.
  void ScrollTo(double position);

  // Zoom: about the play cursor from the keys, about the pointer from the wheel.
  void ZoomInExecute();
  void ZoomOutExecute();
  void ZoomResetExecute();
  void FitSongExecute();
  void ZoomAbout(double ratio, int x);
  void RowZoomAbout(double ratio, int y);
  // The zoom the settings remember; once, when they are open.
  void RestoreZoom();

  // Every command's enabled state from the window's state, by the command table.
  void UpdateActions();
  std::uint32_t CommandState() const;

  void SetStatusText(const QString& text);
  // What reading the song converted or cannot keep, in the status panel until
  // another text replaces it.
  void ShowReadingNotices(const std::vector<std::string>& notices);
  // What an edit changed, for Commit.
  enum TChange : std::uint32_t {
    chView = 0,   // only what is shown: hover, selection, cursor, scroll
    chNotes = 1,  // notes moved, stretched, re-pitched or of another kind
    chLyrics = 2, // notes added, removed or retexted: the memo is rebuilt
    chTiming = 4, // the tempo, the gaps or the music: scale, timeline and fields
    chSong = 8,   // another song, voice or tags: every step
  };
  // The one edit path: a handler changes the model and calls this, which does,
  // in this order, the undo step when asked, the memo, the beat scale and
  // timeline, the fields, the hover's and the selection's validity, the player's
  // snapshot, the caption, the recovery copy, the actions and one redraw.
  void Commit(std::uint32_t changes, bool undoStep);
  // Crash recovery: the unsaved song is kept in the recovery folder, and offered
  // back at the next start.
  void KeepRecovery(bool due);
  void RemoveRecovery();
  bool OfferRecovery();
  // Returns once the recovery file is as the last change left it.
  void WaitForRecovery();
  void UpdateCaption();

  const TEditorContext& Context() const { return context_; }

protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  void CreateActions();
  void CreateMenus();
  void CreateToolBar();
  QWidget* CreateTopPanel();
  QWidget* CreateViewArea();
  void CreateStatusBar();
  void InstallDefaultDialogs();
  void ConnectHandlers();
  // Runs a command; a failure is shown in the error box and the program goes on.
  void Run(const std::function<void()>& command);
  using TMouseHandler = void (TMainForm::*)(QMouseEvent*);
  void ConnectMouse(TImageWidget* widget, TMouseHandler down, TMouseHandler move, TMouseHandler up,
                    void (TMainForm::*leave)());
  void OpenSettings();
  void StartPlayer();
  void ShutDown();
  void StopIfPlaying();
  void TakeFocusFromFields();
  bool TextFieldHasFocus() const;
  void ShowHoverTone(int y);
  void DragRange(int x, Qt::KeyboardModifiers modifiers);
  // Moves the scroll bar by steps, stopping at its ends.
  void ScrollBy(std::int64_t steps);
  void DragNote(int x, int y);
  void DetectHover(int x, int y);
  // Whether the notes may change now: the command table's rule for every edit.
  bool MayEditNotes() const;
  void ShowRestoredState();
  bool IsPlaying() const;
  void SetEditingEnabled(bool enabled);
  // Stops playback and whatever reads the music, and lets the music go.
  void DropMusic();
  void StopPitchTracking();
  void ShowHoveredNote();
  void ShowSilentOutputOnce();
  MusicLoader::TDecodeOutcome DecodeInBackground(const std::string& path,
                                                 songData::TPcmMusic& music);

  TEditorContext context_;
  TNewSongWnd* newSongWnd_ = nullptr;
  TAboutBox* aboutBox_ = nullptr;
  TTagForm* tagForm_ = nullptr;
  std::unique_ptr<ControlFiles2::TControlFile> settings_;
  songData::TSongBaseline baseline_;
  bool songOpen_ = false;   // a song was loaded or created
  int loadingDepth_ = 0;    // a song or its music is loading, one within the other
  bool playbackOn_ = false; // from Play until Stop, or the end of the music
  bool notesOnClipboard_ = false;
  bool activated_ = false;
  bool shutDown_ = false;
  bool silentShown_ = false;
  std::optional<MyServis::TFileStamp> diskStamp_; // the song file as last loaded or saved
  bool recoveryKept_ = false;
  std::string recoveryFile_; // this editor's recovery file, while recoveryKept_
  std::unique_ptr<songData::TRecoveryWriter> recoveryWriter_;
  std::chrono::steady_clock::time_point recoveryTime_;
  int latencyMs_ = 0;       // added to the sound device's own delay
  bool statusHeld_ = false; // the status panel keeps its text through the analysis
  bool inTimer_ = false;
  std::string musicNotice_; // what the user should know of the loaded music
  std::string startupSong_;
  std::int32_t lastCurrentTone_ = player::NoTone;
  std::int32_t lastHoverTone_ = editor::NoHoverTone;
  pitch::TPitchWorker pitchWorker_;
  std::shared_ptr<const pitch::TPitchContour> contour_;
  std::int64_t hoverShown_ = -1; // the note the status tells of
};

} // namespace app
