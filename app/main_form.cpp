#include "app/main_form.h"

#include "app/image_widget.h"
#include "app/lyrics_memo.h"
#include "song/recovery_writer.h"
#include "support/message_boxes.h"

#include <QAction>
#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSlider>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

namespace app {
namespace {

constexpr const char* Caption = "Chorvanta Song Editor";
// The fields and boxes left of the line display.
constexpr int FieldsWidth = 426;
constexpr int PlaybackPercents[] = {100, 90, 75, 60, 50};

QFont PanelFont() {
  QFont font("Arial");
  font.setPixelSize(11); // 8 points at 96 dots per inch
  return font;
}

// A hint's part before the bar is the tool tip, the part after it the status text.
void SetHint(QAction* action, const QString& hint) {
  const qsizetype bar = hint.indexOf('|');
  action->setToolTip(bar < 0 ? hint : hint.left(bar));
  action->setStatusTip(bar < 0 ? hint : hint.mid(bar + 1));
}

QAction* MakeAction(QObject* parent, const QString& caption, const QString& hint,
                    const QKeySequence& shortcut = {}) {
  auto* action = new QAction(caption, parent);
  if (!hint.isEmpty()) SetHint(action, hint);
  action->setShortcut(shortcut);
  return action;
}

QLabel* FieldLabel(const QString& text, QWidget* parent, int x, int y) {
  auto* label = new QLabel(text, parent);
  label->setGeometry(x, y, 64, 20);
  return label;
}

} // namespace

TMainForm::TMainForm(TEditorContext context) : context_(std::move(context)) {
  setWindowTitle(Caption);
  CreateActions();
  CreateMenus();
  CreateToolBar();

  auto* central = new QWidget(this);
  auto* column = new QVBoxLayout(central);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  column->addWidget(CreateTopPanel());
  column->addWidget(CreateViewArea(), 1);
  setCentralWidget(central);
  CreateStatusBar();

  Timer = new QTimer(this);
  Timer->setInterval(20);
  RecoveryTimer = new QTimer(this);
  RecoveryTimer->setSingleShot(true);
  RecoveryTimer->setTimerType(Qt::PreciseTimer); // a coarse one may come 5 % late
  InstallDefaultDialogs();
  ConnectHandlers();
  setMinimumSize(760, 570);
  resize(914, 725 + menuBar()->sizeHint().height());
}

TMainForm::~TMainForm() {
  ShutDown();
}

void TMainForm::AttachDialogs(TNewSongWnd& newSongWnd, TAboutBox& aboutBox, TTagForm& tagForm) {
  newSongWnd_ = &newSongWnd;
  aboutBox_ = &aboutBox;
  tagForm_ = &tagForm;
}

void TMainForm::CreateActions() {
  QStyle* s = style();
  // The menu names some commands more fully than their buttons do.
  SongNew = MakeAction(this, "&New Song", "New|Create a new empty song", QKeySequence("Ctrl+N"));
  SongNew->setIconText("&New");
  SongNew->setIcon(s->standardIcon(QStyle::SP_FileIcon));
  SongOpen = MakeAction(this, "&Open Song...", "Open Song|Open a song", QKeySequence("Ctrl+O"));
  SongOpen->setIcon(s->standardIcon(QStyle::SP_DialogOpenButton));
  SongSave = MakeAction(this, "&Save Song", "Save Song|Save current song", QKeySequence("Ctrl+S"));
  SongSave->setIconText("&Save");
  SongSave->setIcon(s->standardIcon(QStyle::SP_DialogSaveButton));
  SongSaveAs =
      MakeAction(this, "Save Song &As...", "Save As|Save current file with different name");
  SongSaveAs->setIconText("Save &As...");
  FileExit1 = MakeAction(this, "E&xit", "Exit|Exit application", QKeySequence("Alt+X"));
  UndoAction = MakeAction(this, "Undo", "Undo last action", QKeySequence("Ctrl+Z"));
  UndoAction->setIcon(s->standardIcon(QStyle::SP_ArrowBack));
  RedoAction = MakeAction(this, "Redo", "Redo last action", QKeySequence("Ctrl+X"));
  // Desktop users reach for these as well.
  RedoAction->setShortcuts(
      {QKeySequence("Ctrl+X"), QKeySequence("Ctrl+Y"), QKeySequence("Ctrl+Shift+Z")});
  RedoAction->setIcon(s->standardIcon(QStyle::SP_ArrowForward));
  SelectAll1 = MakeAction(this, "Select &All", {}, QKeySequence("Ctrl+A"));
  Deselect1 = MakeAction(this, "&Deselect", {}, QKeySequence("Ctrl+D"));
  EditCut1 = MakeAction(this, "Cu&t", "Cut|Cuts the selection and puts it on the Clipboard",
                        QKeySequence("Shift+Del"));
  EditCopy1 = MakeAction(this, "&Copy", "Copy|Copies the selection and puts it on the Clipboard",
                         QKeySequence("Ctrl+Ins"));
  EditPaste1 =
      MakeAction(this, "&Paste", "Paste|Inserts Clipboard contents", QKeySequence("Shift+Ins"));
  EditCopy2 = MakeAction(this, "Copy", {}, QKeySequence("Ctrl+C"));
  EditPaste2 = MakeAction(this, "Paste", {}, QKeySequence("Ctrl+V"));
  addAction(EditCopy2);
  addAction(EditPaste2);
  OctaveUp = MakeAction(this, "Octave Up", {}, QKeySequence("Shift+Up"));
  OctaveDown = MakeAction(this, "Octave Down", {}, QKeySequence("Shift+Down"));
  ChooseMusic = MakeAction(this, "Choose Music...", "Select a music file for current song");
  ChooseVocals = MakeAction(this, "Choose Vocals...",
                            "Select a recording of the vocals alone for current song");
  SnapToSungPitch =
      MakeAction(this, "Snap to sung pitch",
                 "Set the selected notes, or the note under the mouse, to the pitch sung there",
                 QKeySequence("Ctrl+P"));
  ShowSungPitch = MakeAction(this, "Show sung pitch", "Draw the sung pitch over the notes");
  DetectTempo =
      MakeAction(this, "Detect Tempo...", "Find the song's BPM and gap from the beat of its music");
  Slower = MakeAction(this, "Slower", "Play the music slower, at its own pitch",
                      QKeySequence("Ctrl+Down"));
  Faster = MakeAction(this, "Faster", "Play the music faster, up to its own speed",
                      QKeySequence("Ctrl+Up"));
  SettingsAction =
      MakeAction(this, "Settings...", "Settings|Set the audio latency of the sound device");
  ShowSungPitch->setCheckable(true);
  ShowSungPitch->setChecked(true);
  EditTags = MakeAction(this, "Edit tags...",
                        "Edit song's tags (metadata such as album title, author etc.)");
  Help = MakeAction(this, "User Manual", {}, QKeySequence("F1"));
  HelpAbout1 = MakeAction(this, "&About...", "About|Shows the program's name and version");
  plPlay = MakeAction(this, "Play", "Play song from current point");
  plPlay->setIcon(s->standardIcon(QStyle::SP_MediaPlay));
  plStop = MakeAction(this, "Stop", "Stop playback");
  plStop->setIcon(s->standardIcon(QStyle::SP_MediaStop));
  for (QAction* a : {SongSave, SongSaveAs, ChooseMusic, ChooseVocals, EditTags, UndoAction,
                     RedoAction, plStop, SnapToSungPitch, ShowSungPitch, DetectTempo})
    a->setEnabled(false);
}

void TMainForm::CreateMenus() {
  QMenu* file = menuBar()->addMenu("&File");
  file->setStatusTip("File related commands");
  file->addActions({SongNew, SongOpen, SongSave, SongSaveAs});
  file->addSeparator();
  file->addAction(SettingsAction);
  file->addSeparator();
  file->addAction(FileExit1);
  QMenu* edit = menuBar()->addMenu("&Edit");
  edit->setStatusTip("Edit commands");
  edit->addActions({UndoAction, RedoAction});
  edit->addSeparator();
  edit->addActions({SelectAll1, Deselect1});
  edit->addSeparator();
  edit->addActions({EditCut1, EditCopy1, EditPaste1});
  edit->addSeparator();
  edit->addActions({OctaveUp, OctaveDown});
  edit->addSeparator();
  edit->addAction(SnapToSungPitch);
  QMenu* song = menuBar()->addMenu("Song");
  song->addActions({ChooseMusic, ChooseVocals, EditTags});
  song->addSeparator();
  song->addAction(DetectTempo);
  QMenu* play = menuBar()->addMenu("&Play");
  play->addActions({plPlay, plStop});
  play->addSeparator();
  play->addActions({Slower, Faster});
  QMenu* view = menuBar()->addMenu("&View");
  view->addAction(ShowSungPitch);
  QMenu* help = menuBar()->addMenu("&Help");
  help->setStatusTip("Help topics");
  help->addActions({Help, HelpAbout1});
}

void TMainForm::CreateToolBar() {
  QToolBar* bar = addToolBar("Tools");
  bar->setMovable(false);
  bar->setIconSize(QSize(16, 16));
  bar->setFixedHeight(26);
  bar->addActions({SongNew, SongOpen, SongSave});
  bar->addSeparator();
  bar->addActions({plStop, plPlay});
  bar->addSeparator();
  bar->addActions({UndoAction, RedoAction});
}

QWidget* TMainForm::CreateTopPanel() {
  auto* panel = new QWidget;
  panel->setFixedHeight(72);
  panel->setFont(PanelFont());
  auto* row = new QHBoxLayout(panel);
  row->setContentsMargins(0, 0, 8, 0);
  row->setSpacing(0);

  // The fields keep their places left of the line display, which takes the rest.
  auto* fields = new QWidget;
  fields->setFixedSize(FieldsWidth, 72);
  MixBar = new QSlider(Qt::Vertical, fields);
  MixBar->setRange(0, 10);
  MixBar->setInvertedAppearance(true); // position 0 (music only) on top
  MixBar->setInvertedControls(true);
  MixBar->setValue(4);
  MixBar->setGeometry(6, 2, 22, 68);
  MixBar->setToolTip("Mixer: sets ratio between MP3 music file and syllable tones");
  MixBar->setStatusTip(MixBar->toolTip());

  auto makeField = [fields](const QString& label, int y, const QString& hint, const QString& text) {
    FieldLabel(label, fields, 36, y);
    auto* edit = new QLineEdit(text, fields);
    edit->setGeometry(100, y, 72, 20);
    edit->setToolTip(hint);
    edit->setStatusTip(hint);
    return edit;
  };
  editGAP = makeField(
      "Audio gap:", 4,
      "Time interval (in seconds) between start of the music file and song's zero point", "0,0");
  EditVGap = makeField(
      "Video gap:", 26,
      "Time interval (in seconds) between start of the video file and song's zero point", "0,0");
  editBPM = makeField("BPM:", 48, "Beats per Minute (Tempo)", "125");

  FieldLabel("Transpose:", fields, 186, 4);
  TransposeBox = new QComboBox(fields);
  TransposeBox->addItems(
      {"C4 = -12", "C4 = 0", "C4 = 12", "C4 = 24", "C4 = 36", "C4 = 48", "C4 = 60"});
  TransposeBox->setCurrentIndex(1);
  TransposeBox->setGeometry(186, 24, 140, 22);
  const QString transposeHint = "Select correspondence between actual tones and numbers used to "
                                "represent them (octave shift)";
  TransposeBox->setToolTip(transposeHint);
  TransposeBox->setStatusTip(transposeHint);

  FieldLabel("Voice:", fields, 186, 49);
  VoiceBox = new QComboBox(fields);
  VoiceBox->addItems({"P1", "P2"});
  VoiceBox->setGeometry(236, 48, 90, 22);
  const QString voiceHint = "Singer being edited in a duet: choose P2 to write a second voice";
  VoiceBox->setToolTip(voiceHint);
  VoiceBox->setStatusTip(voiceHint);

  FieldLabel("Speed:", fields, 336, 4);
  SpeedBox = new QComboBox(fields);
  for (int percent : PlaybackPercents)
    SpeedBox->addItem(QString("%1 %").arg(percent), percent / 100.0);
  SpeedBox->setGeometry(336, 24, 80, 22);
  const QString speedHint = "Playback speed: slower music keeps its pitch (Ctrl+Down, Ctrl+Up)";
  SpeedBox->setToolTip(speedHint);
  SpeedBox->setStatusTip(speedHint);
  row->addWidget(fields);

  display = new TImageWidget;
  display->setMinimumSize(100, 64);
  display->setMaximumHeight(64);
  row->addWidget(display, 1);
  return panel;
}

QWidget* TMainForm::CreateViewArea() {
  auto* area = new QWidget;
  auto* row = new QHBoxLayout(area);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(0);

  auto* left = new QVBoxLayout;
  left->setSpacing(0);
  auto* viewPanel = new QFrame;
  viewPanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  viewPanel->setLineWidth(1);
  auto* viewColumn = new QVBoxLayout(viewPanel);
  viewColumn->setContentsMargins(1, 1, 1, 1);
  viewColumn->setSpacing(0);
  MainImg = new TImageWidget;
  MainImg->setMinimumHeight(100);
  viewColumn->addWidget(MainImg, 1);
  Scroll = new QScrollBar(Qt::Horizontal);
  Scroll->setFixedHeight(17);
  Scroll->setRange(-5, 300);
  Scroll->setValue(-5);
  Scroll->setSingleStep(10);
  Scroll->setPageStep(80);
  viewColumn->addWidget(Scroll);
  left->addWidget(viewPanel, 1);

  Keyboard = new TImageWidget;
  Keyboard->setFixedHeight(67);
  left->addWidget(Keyboard);
  row->addLayout(left, 1);

  Lyrics = new TLyricsMemo;
  Lyrics->setFixedWidth(100);
  QFont memoFont("Arial");
  memoFont.setPixelSize(12);
  Lyrics->setFont(memoFont);
  Lyrics->setLineWrapMode(QPlainTextEdit::NoWrap);
  Lyrics->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Lyrics->setToolTip("Lyrics");
  Lyrics->setStatusTip("Lyrics");
  row->addWidget(Lyrics);
  return area;
}

void TMainForm::CreateStatusBar() {
  QStatusBar* bar = statusBar();
  bar->setFixedHeight(19);
  bar->setSizeGripEnabled(true);
  Progress = new QProgressBar;
  Progress->setRange(0, 100);
  Progress->setValue(0);
  Progress->setTextVisible(false);
  Progress->setFixedSize(100, 17);
  const int widths[] = {100, 90, 64};
  for (int i = 0; i < 3; ++i) {
    StatusPanels[i] = new QLabel;
    StatusPanels[i]->setFixedWidth(widths[i]);
    bar->addWidget(StatusPanels[i]);
  }
  // The progress bar sits in the first panel, with a Cancel beside it while
  // music loads.
  Progress->setParent(StatusPanels[0]);
  CancelLoad = new QPushButton("Cancel", StatusPanels[0]);
  CancelLoad->setGeometry(51, 0, 49, 17);
  CancelLoad->setFocusPolicy(Qt::NoFocus);
  CancelLoad->setToolTip("Stop loading the music");
  CancelLoad->hide();
  StatusPanels[3] = new QLabel;
  StatusPanels[3]->setMinimumWidth(50);
  bar->addWidget(StatusPanels[3], 1);
}

void TMainForm::Run(const std::function<void()>& command) {
  try {
    command();
  } catch (const std::exception& e) {
    MyServis::ErrorBox(e.what());
  } catch (...) {
    MyServis::ErrorBox("Unknown failure");
  }
}

void TMainForm::ConnectAction(QAction* action, void (TMainForm::*handler)()) {
  connect(action, &QAction::triggered, this,
          [this, handler] { Run([this, handler] { (this->*handler)(); }); });
}

} // namespace app
