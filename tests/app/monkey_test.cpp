// A monkey on the main window: random mouse, keys, commands, typing and playback
// on a loaded song with music, checking after every event what must always hold.
// CHORVANTA_MONKEY_SEED and CHORVANTA_MONKEY_EVENTS choose another run.
#include "main_window_fixture.h"
#include "monkey_events.h"
#include "song/song_reader.h"
#include "song/song_writer.h"

#include <QAction>
#include <QApplication>
#include <algorithm>
#include <cstdlib>
#include <deque>
#include <iterator>
#include <limits>
#include <optional>

namespace {

using songData::MaxFileRecords;
using songData::TNote;

// At 240 BPM a beat is 1/16 s: the song's 40 beats fit in the 5 s of music.
const std::string SoloSong = "#TITLE:Monkey\r\n#ARTIST:Tests\r\n#MP3:music.mp3\r\n#BPM:240\r\n"
                             "#GAP:500\r\n: 0 4 5 Hel\r\n: 4 4 7 lo\r\n* 8 4 9 world\r\n- 14\r\n"
                             ": 16 2 5 \xC3\xA4h\r\nF 18 4 4 free\r\nR 24 4 5 rap\r\n"
                             "G 28 2 6 gold\r\n- 32\r\n: 34 6 7 end\r\nE\r\n";
const std::string DuetSong = "#TITLE:Monkey duet\r\n#ARTIST:Tests\r\n#MP3:music.mp3\r\n#BPM:240\r\n"
                             "#GAP:500\r\nP1\r\n: 0 4 5 one\r\n: 4 4 7 two\r\n- 10\r\n"
                             "* 12 4 9 three\r\nR 18 2 5 four\r\n- 22\r\n: 24 8 7 five\r\n"
                             "P2\r\n: 2 4 0 un\r\nF 6 4 2 deux\r\n- 12\r\n: 14 6 3 trois\r\n"
                             "G 20 2 1 quatre\r\n: 30 4 0 \xE2\x82\xAC\r\nE\r\n";

constexpr unsigned DefaultSeed = 20240611;
constexpr unsigned long DefaultEvents = 2000;
constexpr unsigned long RoundTripEvery = 50;
constexpr std::size_t EventsShown = 12;
// The error boxes a user can bring about with this song, told by their words;
// any other box, or any other text, means a fault.
const char* const UserErrors[] = {"The song has no music to find the tempo in",
                                  "No steady beat found in the music"};

unsigned long EnvNumber(const char* name, unsigned long fallback) {
  const char* text = std::getenv(name);
  if (text == nullptr || *text == '\0') return fallback;
  char* end = nullptr;
  const unsigned long value = std::strtoul(text, &end, 10);
  return *end == '\0' ? value : fallback;
}

std::string Describe(const TNote& note) {
  return std::to_string(int(note.Kind)) + " " + std::to_string(note.Start) + " " +
         std::to_string(note.Length) + " " + std::to_string(note.Pitch) + " P" +
         std::to_string(int(note.Voice)) + " \"" + note.Text.Str() + "\"";
}

// Line n (1-based) of a song file, whose lines end at CR LF.
std::string FileLine(const std::string& file, int n) {
  std::size_t from = 0;
  for (int i = 1; i < n; ++i) {
    from = file.find("\r\n", from);
    if (from == std::string::npos) return {};
    from += 2;
  }
  return file.substr(from, file.find("\r\n", from) - from);
}

// What a song file keeps of a note: a line break has only its start.
bool SameInFile(const TNote& a, const TNote& b) {
  if (a.Kind != b.Kind || a.Start != b.Start || a.Voice != b.Voice) return false;
  return a.IsLineBreak() || (a.Length == b.Length && a.Pitch == b.Pitch && a.Text == b.Text);
}

// The notes as a file gives them back. A file has no room for a start before
// zero or before the end of the voice's previous note: the reader raises such a
// start, and a line break never moves that end.
std::vector<TNote> AsReadBack(const std::vector<TNote>& notes) {
  std::vector<TNote> file;
  std::int64_t ends[2] = {0, 0};
  for (std::size_t i : songData::WriteOrder(notes)) {
    TNote note = notes[i];
    std::int64_t& end = ends[note.Voice == songData::SecondVoice ? 1 : 0];
    note.Start = std::int32_t(std::min<std::int64_t>(std::max<std::int64_t>(note.Start, end),
                                                     std::numeric_limits<std::int32_t>::max()));
    if (!note.IsLineBreak()) end = std::int64_t(note.Start) + note.Length;
    file.push_back(note);
  }
  return file;
}

class Monkey : public MainWindow {
protected:
  void RunOn(const std::string& song) {
    WriteMusic("music.mp3", 5.0);
    Form->Dialogs.ChooseMusicFile = [](const QString&) { return QString(); };
    Form->Dialogs.ChooseVocalsFile = [](const QString&) { return QString(); };
    Form->Dialogs.ChooseTempo = [](const tempo::TTempoEstimate&) { return std::nullopt; };
    Form->Dialogs.RunSettings = [](int) { return std::nullopt; };
    Form->Dialogs.RunNewSongDialog = [] { return false; };
    Form->Dialogs.RunAboutBox = [] {};
    Form->Dialogs.RunTagEditor = [] {};
    Form->Dialogs.OpenDocument = [](const QString&) { return true; };
    Form->Dialogs.AskSaveChanges = [this](const QString&) {
      return ++questions_ % 2 ? app::TSaveAnswer::Discard : app::TSaveAnswer::Cancel;
    };
    Start(QString::fromStdString(WriteSong("song.txt", song)));
    QApplication::setActiveWindow(Form.get());
    Form->FinishPitchTracking();
    ASSERT_TRUE(Song.MusicLoaded);
    ASSERT_TRUE(ErrorTexts.empty()) << ErrorTexts.front();

    const auto seed = static_cast<unsigned>(EnvNumber("CHORVANTA_MONKEY_SEED", DefaultSeed));
    const unsigned long events = EnvNumber("CHORVANTA_MONKEY_EVENTS", DefaultEvents);
    monkey::TMonkey monkey(*Form, seed);
    std::deque<std::string> recent;
    for (unsigned long n = 1; n <= events; ++n) {
      std::string fault;
      try {
        recent.push_back(monkey.Next());
      } catch (const std::exception& e) {
        fault = std::string("an exception escaped: ") + e.what();
      }
      if (recent.size() > EventsShown) recent.pop_front();
      if (fault.empty()) fault = BrokenInvariant();
      if (fault.empty() && (n % RoundTripEvery == 0 || n == events)) fault = RoundTripFault();
      if (!fault.empty()) {
        std::string shown;
        for (const std::string& event : recent)
          shown += "\n  " + event;
        FAIL() << "seed " << seed << ", event " << n << " of " << events << ": " << fault
               << "\nlast events:" << shown;
      }
    }
  }

private:
  std::string BrokenInvariant() {
    const editor::TViewState& view = Form->View;
    std::int32_t selected = 0;
    for (const TNote& note : Song.Notes) {
      if (note.Text.Length > songData::TNoteText::Capacity)
        return "a text of " + std::to_string(note.Text.Length) + " bytes";
      if (!note.Selected) continue;
      ++selected;
      if (note.Voice != view.Voice) return "a note of the other voice is selected";
    }
    if (selected != view.SelectedCount)
      return "SelectedCount is " + std::to_string(view.SelectedCount) + " with " +
             std::to_string(selected) + " notes selected";
    if (view.HoverMode != editor::hmNothing &&
        (view.HoverIndex < 0 || std::size_t(view.HoverIndex) >= Song.Notes.size()))
      return "hover mode " + std::to_string(int(view.HoverMode)) + " on record " +
             std::to_string(view.HoverIndex) + " of " + std::to_string(Song.Notes.size());
    for (; errorsSeen_ < ErrorTexts.size(); ++errorsSeen_) {
      const std::string& text = ErrorTexts[errorsSeen_];
      const auto told = [&text](const char* words) {
        return text.find(words) != std::string::npos;
      };
      if (std::none_of(std::begin(UserErrors), std::end(UserErrors), told))
        return "error box \"" + text + "\"";
    }
    return {};
  }

  // Save through the command, read the file back, and expect the notes in the
  // writer's order.
  std::string RoundTripFault() {
    Form->SongSave->trigger();
    if (std::string fault = BrokenInvariant(); !fault.empty()) return "on save: " + fault;
    if (Form->IsModified()) return "still modified after Save";
    songData::TSongFileContent read;
    try {
      read = songData::ReadSongFile(Song.SongDir + "/" + Song.SongFileName);
    } catch (const std::exception& e) {
      return std::string("the saved song does not read: ") + e.what();
    }
    // A file gives at most MaxFileRecords records, and reading tells of the rest.
    std::vector<TNote> expected = AsReadBack(Song.Notes);
    const std::size_t beyond = expected.size() - std::min(expected.size(), MaxFileRecords);
    expected.resize(expected.size() - beyond);
    songData::TReadingReport told = read.Report;
    if (told.BeyondLimitLines.size() == beyond) told.BeyondLimitLines.clear();
    // AsReadBack raises those starts as the reader does; reading tells of them.
    told.RaisedStartLines.clear();
    if (!told.Empty()) {
      std::string text = "reading the saved song tells:";
      for (const std::string& notice : songData::ReadingNotices(read.Report))
        text += " " + notice;
      const std::string file = Folder.Read(Song.SongFileName);
      const auto& unread = read.Report.UnreadLines;
      for (std::size_t i = 0; i < std::min<std::size_t>(unread.size(), 5); ++i)
        text += "\nline " + std::to_string(unread[i]) + ": " + FileLine(file, unread[i]);
      return text;
    }
    if (read.Notes.size() != expected.size())
      return "saved " + std::to_string(expected.size()) + " records, read " +
             std::to_string(read.Notes.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
      if (!SameInFile(expected[i], read.Notes[i]))
        return "record " + std::to_string(i) + " saved as " + Describe(expected[i]) + ", read as " +
               Describe(read.Notes[i]);
    }
    return {};
  }

  int questions_ = 0;
  std::size_t errorsSeen_ = 0;
};

TEST_F(Monkey, KeepsASoloSongWhole) {
  RunOn(SoloSong);
}

TEST_F(Monkey, KeepsADuetWhole) {
  RunOn(DuetSong);
}

} // namespace
