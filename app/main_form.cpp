#include "app/main_form.h"

#include "app/command_table.h"
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
#include <algorithm>

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
  for (const TCommand& command : CommandTable()) {
    QAction* action = MakeAction(this, command.Caption, command.Hint ? command.Hint : "");
    QList<QKeySequence> shortcuts;
    for (const char* shortcut : command.Shortcuts)
      shortcuts.append(QKeySequence(shortcut));
    action->setShortcuts(shortcuts);
    if (command.IconText) action->setIconText(command.IconText);
    if (command.Icon >= 0)
      action->setIcon(style()->standardIcon(static_cast<QStyle::StandardPixmap>(command.Icon)));
    // Shown unless the settings say otherwise.
    action->setCheckable(command.Checkable);
    action->setChecked(command.Checkable);
    // Keys without a menu entry still reach the window.
    if (command.Menu == TCommandMenu::cmNone) addAction(action);
    const auto handler = command.Handler;
    connect(action, &QAction::triggered, this, [this, handler] {
      Run([this, handler] {
        (this->*handler)();
        UpdateActions();
      });
    });
    this->*command.Action = action;
  }
  UpdateActions();
}

void TMainForm::CreateMenus() {
  struct TMenuTitle {
    TCommandMenu Menu;
    const char* Title;
    const char* Hint;
  };
  for (const TMenuTitle& title :
       {TMenuTitle{TCommandMenu::cmFile, "&File", "File related commands"},
        TMenuTitle{TCommandMenu::cmEdit, "&Edit", "Edit commands"},
        TMenuTitle{TCommandMenu::cmSong, "&Song", nullptr},
        TMenuTitle{TCommandMenu::cmPlay, "&Play", nullptr},
        TMenuTitle{TCommandMenu::cmView, "&View", nullptr},
        TMenuTitle{TCommandMenu::cmHelp, "&Help", "Help topics"}}) {
    QMenu* menu = menuBar()->addMenu(title.Title);
    if (title.Hint) menu->setStatusTip(title.Hint);
    for (const TCommand& command : CommandTable()) {
      if (command.Menu != title.Menu) continue;
      if (command.SeparatorBefore) menu->addSeparator();
      menu->addAction(this->*command.Action);
    }
  }
}

void TMainForm::CreateToolBar() {
  QToolBar* bar = addToolBar("Tools");
  bar->setMovable(false);
  bar->setIconSize(QSize(16, 16));
  bar->setFixedHeight(26);
  std::vector<const TCommand*> tools;
  for (const TCommand& command : CommandTable())
    if (command.ToolBarSlot > 0) tools.push_back(&command);
  std::sort(tools.begin(), tools.end(),
            [](const TCommand* a, const TCommand* b) { return a->ToolBarSlot < b->ToolBarSlot; });
  for (std::size_t i = 0; i < tools.size(); ++i) {
    if (i > 0 && tools[i]->ToolBarSlot / 10 != tools[i - 1]->ToolBarSlot / 10) bar->addSeparator();
    bar->addAction(this->*tools[i]->Action);
  }
}

TCommandState TMainForm::CommandState() const {
  const bool playing = IsPlaying();
  TCommandState state = playing ? cnPlaying : cnStopped;
  if (songOpen_) state |= cnSong;
  if (loadingDepth_ == 0) state |= cnIdle;
  if (View.SelectedCount > 0) state |= cnSelection;
  if (notesOnClipboard_) state |= cnNotesOnClipboard;
  if (songData::CanUndo(context_.History)) state |= cnUndo;
  if (songData::CanRedo(context_.History)) state |= cnRedo;
  if (contour_) state |= cnSungPitch;
  return state;
}

bool TMainForm::MayEditNotes() const {
  return CommandEnabled(cnNoteEdit, CommandState());
}

void TMainForm::UpdateActions() {
  const TCommandState state = CommandState();
  for (const TCommand& command : CommandTable())
    (this->*command.Action)->setEnabled(CommandEnabled(command.Needs, state));
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

} // namespace app
