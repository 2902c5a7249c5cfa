#include "common/temp_folder.h"
#include "song/song_loader.h"
#include "song/song_writer.h"
#include "support/file_io.h"
#include "support/message_boxes.h"
#include "support/runtime_errors.h"

#include <gtest/gtest.h>

using namespace songData;

namespace {

// Records the window-side steps in the order the load performs them.
class TRecordingHost : public TSongLoadHost {
public:
  std::vector<std::string> Steps;
  std::string MusicPath;
  bool FailMusic = false;

  void DisableOpen() override { Steps.push_back("DisableOpen"); }
  void ShowSongParameters(const TSong&) override { Steps.push_back("ShowSongParameters"); }
  void ShowTranspose(const TSong&) override { Steps.push_back("ShowTranspose"); }
  void UpdateBeatScale(const TSong&) override { Steps.push_back("UpdateBeatScale"); }
  void RebuildLyrics(TSong&) override { Steps.push_back("RebuildLyrics"); }
  void DrawView() override { Steps.push_back("DrawView"); }
  void LoadMusic(TSong& song, const std::string& path) override {
    Steps.push_back("LoadMusic");
    MusicPath = path;
    if (FailMusic) throw MyServis::EInOutError("Invalid MP3 file");
    song.MusicLoaded = true;
    song.MusicFileName = MyServis::NameOfPath(path);
  }
  void UpdateTimeline(const TSong&) override { Steps.push_back("UpdateTimeline"); }
  void StoreRecentSong(const std::string&) override { Steps.push_back("StoreRecentSong"); }
  void EnableSongActions() override { Steps.push_back("EnableSongActions"); }
  void EnableOpen() override { Steps.push_back("EnableOpen"); }
};

class SongLoad : public testing::Test {
protected:
  void SetUp() override {
    MyServis::SetMessageBoxHook(
        [this](const std::string& text, const std::string& caption, MyServis::TMessageStyle) {
          Boxes.push_back(caption + ": " + text);
          return MyServis::TMessageResult::mrOK;
        });
  }
  void TearDown() override { MyServis::SetMessageBoxHook(nullptr); }

  TTempFolder Folder;
  TSong Song;
  TUndoHistory History;
  TRecordingHost Host;
  std::vector<std::string> Boxes;
};

TEST_F(SongLoad, PerformsTheStepsInOrder) {
  Folder.Write("song.txt", "#MP3:music.mp3\n#BPM:200\n: 0 10 60 a\n- 20\n: 10 2 60 b\nE\n");
  Folder.Write("music.mp3", "x");
  EXPECT_TRUE(LoadSong(Song, History, Folder.File("song.txt"), Host));
  EXPECT_EQ(Host.Steps, (std::vector<std::string>{
                            "DisableOpen", "ShowSongParameters", "ShowTranspose", "UpdateBeatScale",
                            "RebuildLyrics", "DrawView", "LoadMusic", "UpdateTimeline",
                            "StoreRecentSong", "EnableSongActions", "DrawView", "EnableOpen"}));
  EXPECT_EQ(Host.MusicPath, Folder.File("music.mp3"));
  EXPECT_EQ(Song.SongDir, Folder.Path());
  EXPECT_EQ(Song.SongFileName, "song.txt");
  EXPECT_EQ(Song.BPM, 200);
  EXPECT_EQ(Song.Transpose, -36); // mean pitch 40, the line break counting 0
  EXPECT_TRUE(Song.BackupPending);
  EXPECT_TRUE(Song.MusicLoaded);
  ASSERT_EQ(Song.Notes.size(), 3u);
  EXPECT_EQ(Song.Notes[1].Text.Str(), "b"); // sorted after the snapshot
  EXPECT_EQ(History.UndoCount, 1);
  EXPECT_EQ(History.Slots[1]->Notes[1].Kind, nkLineBreak); // the snapshot keeps file order
  EXPECT_TRUE(Boxes.empty());
}

TEST_F(SongLoad, FindsTheMusicBySongNameWhenMp3TagMissesAndNoneOtherwise) {
  Folder.Write("Song.TXT", "#MP3:gone.mp3\n: 0 1 5 a\n");
  Folder.Write("Song.mp3", "x");
  EXPECT_TRUE(LoadSong(Song, History, Folder.File("Song.TXT"), Host));
  EXPECT_EQ(Host.MusicPath, Folder.File("Song.mp3"));

  TRecordingHost quiet;
  Folder.Write("other.txt", ": 0 1 5 a\n");
  Song.MusicFileName = "kept.mp3";
  EXPECT_TRUE(LoadSong(Song, History, Folder.File("other.txt"), quiet));
  EXPECT_EQ(std::count(quiet.Steps.begin(), quiet.Steps.end(), "LoadMusic"), 0);
  EXPECT_FALSE(Song.MusicLoaded);
  EXPECT_EQ(Song.MusicFileName, "kept.mp3");
}

TEST_F(SongLoad, ReadFailureLeavesTheModelButForByteOrderMark) {
  Folder.Write("good.txt", "#TITLE:good\n: 0 1 5 a\n");
  ASSERT_TRUE(LoadSong(Song, History, Folder.File("good.txt"), Host));
  Song.BackupPending = false;
  TSong before = Song;
  Folder.Write("bad.txt", "\xEF\xBB\xBF#TITLE:bad\n: 0 1 x b\n");
  TRecordingHost host;
  EXPECT_FALSE(LoadSong(Song, History, Folder.File("bad.txt"), host));
  EXPECT_EQ(Boxes, (std::vector<std::string>{
                       "Error: Exception during song loading: 'x' is not a valid integer value"}));
  EXPECT_EQ(host.Steps, (std::vector<std::string>{"DisableOpen", "DrawView", "EnableOpen"}));
  EXPECT_TRUE(Song.UseBOM);
  Song.UseBOM = before.UseBOM;
  EXPECT_EQ(Song.Notes, before.Notes);
  EXPECT_EQ(Song.Tags, before.Tags);
  EXPECT_EQ(Song.SongFileName, "good.txt");
  EXPECT_FALSE(Song.BackupPending);
  EXPECT_EQ(History.UndoCount, 1);
}

TEST_F(SongLoad, AFileThatIsNoSongIsRefusedWithJustThatMessage) {
  Folder.Write("good.txt", "#TITLE:good\n: 0 1 5 a\n");
  ASSERT_TRUE(LoadSong(Song, History, Folder.File("good.txt"), Host));
  Folder.Write("sound.txt", std::string("RIFF\x24\x08\0\0WAVEfmt \x10\0\0\0", 20) + "FF4\xB1");
  EXPECT_FALSE(LoadSong(Song, History, Folder.File("sound.txt"), Host));
  EXPECT_EQ(Boxes, std::vector<std::string>{"Error: sound.txt is not a song file"});
  EXPECT_EQ(Song.SongFileName, "good.txt");
}

TEST_F(SongLoad, MissingFileIsReportedWithItsName) {
  EXPECT_FALSE(LoadSong(Song, History, Folder.File("none.txt"), Host));
  ASSERT_EQ(Boxes.size(), 1u);
  EXPECT_NE(Boxes[0].find("Exception during song loading: Cannot open file \"" +
                          Folder.File("none.txt") + "\""),
            std::string::npos);
  // Bytes of the name that are no characters are not shown as they are.
  EXPECT_FALSE(LoadSong(Song, History, Folder.File("n\x1B[2J\xFF.txt"), Host));
  ASSERT_EQ(Boxes.size(), 2u);
  EXPECT_NE(Boxes[1].find(Folder.File("n\\x1B[2J\xEF\xBF\xBD.txt")), std::string::npos) << Boxes[1];
}

TEST_F(SongLoad, MusicFailureKeepsTheNewSongAndItsBackupAndSkipsTheLaterSteps) {
  Folder.Write("song.txt", "#TITLE:new\n: 0 1 5 a\n");
  Folder.Write("song.mp3", "x");
  Host.FailMusic = true;
  EXPECT_FALSE(LoadSong(Song, History, Folder.File("song.txt"), Host));
  EXPECT_EQ(Host.Steps.back(), "EnableOpen");
  EXPECT_EQ(std::count(Host.Steps.begin(), Host.Steps.end(), "UpdateTimeline"), 0);
  EXPECT_EQ(std::count(Host.Steps.begin(), Host.Steps.end(), "EnableSongActions"), 0);
  EXPECT_EQ(Song.Tags, (std::vector<std::string>{"#TITLE:new"}));
  EXPECT_EQ(Song.Notes.size(), 1u);
  EXPECT_FALSE(Song.MusicLoaded);
  EXPECT_EQ(Boxes,
            (std::vector<std::string>{"Error: Exception during song loading: Invalid MP3 file"}));
  SaveSong(Song);
  EXPECT_EQ(Folder.Read("song.bak"), "#TITLE:new\n: 0 1 5 a\n");
}

TEST_F(SongLoad, TellsTheWindowWhatReadingChangedBeforeTheMusic) {
  struct TReportingHost : TRecordingHost {
    void ReportReading(const TReadingReport& report) override {
      Steps.push_back("ReportReading");
      Report = report;
    }
    TReadingReport Report;
  } host;
  Folder.Write("song.txt", "#RELATIVE:yes\n#TITLE:Caf\xE9\n: 0 1 5 a\nx\n");
  Folder.Write("song.mp3", "x");
  EXPECT_TRUE(LoadSong(Song, History, Folder.File("song.txt"), host));
  auto at = [&](const char* step) {
    return std::find(host.Steps.begin(), host.Steps.end(), step) - host.Steps.begin();
  };
  EXPECT_EQ(at("ReportReading"), at("DrawView") + 1);
  EXPECT_EQ(at("LoadMusic"), at("ReportReading") + 1);
  EXPECT_EQ(host.Report.ConvertedFrom, "Windows-1252");
  EXPECT_TRUE(host.Report.ConvertedRelative);
  EXPECT_EQ(host.Report.UnreadLines, std::vector<int>{4});
  EXPECT_EQ(Song.Tags, std::vector<std::string>{"#TITLE:Caf\xC3\xA9"});
}

TEST_F(SongLoad, AudioNamesTheMusicBeforeMp3) {
  struct {
    const char* Header;
    const char* Music; // empty: none
  } cases[] = {
      {"#AUDIO:new.ogg\n#MP3:old.mp3\n", "new.ogg"},
      {"#MP3:old.mp3\n#audio:new.ogg\n", "new.ogg"},
      {"#AUDIO:new.ogg\n", "new.ogg"},
      {"#AUDIO:gone.ogg\n#MP3:old.mp3\n", "old.mp3"},
      {"#AUDIO:\n#MP3:old.mp3\n", "old.mp3"},
      {"#AUDIO:gone.ogg\n#MP3:gone.mp3\n", ""},
      {"#AUDIO:gone.ogg\n", "song.mp3"}, // the only case with the song's own music
  };
  Folder.Write("new.ogg", "x");
  Folder.Write("old.mp3", "x");
  for (auto c : cases) {
    if (std::string(c.Music) == "song.mp3") Folder.Write("song.mp3", "x");
    Folder.Write("song.txt", c.Header);
    TRecordingHost host;
    EXPECT_TRUE(LoadSong(Song, History, Folder.File("song.txt"), host)) << c.Header;
    EXPECT_EQ(host.MusicPath, *c.Music ? Folder.File(c.Music) : "") << c.Header;
  }
}

TEST(SongPaths, TxtIsReplacedInTheFileNameOnly) {
  EXPECT_EQ(ReplaceTxtExtension("/a.txt.d/My.Txt.txt", ".bak"), "/a.txt.d/My.bak.txt");
  EXPECT_EQ(ReplaceTxtExtension("/a.txt.d/song", ".bak"), "");
  EXPECT_EQ(MyServis::FolderOfPath("song.txt"), ".");
  EXPECT_EQ(MyServis::FolderOfPath("/song.txt"), "/");
  EXPECT_EQ(MyServis::NameOfPath("/x/y/song.txt"), "song.txt");
}

} // namespace
