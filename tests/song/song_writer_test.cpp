#include "common/note_builder.h"
#include "common/temp_folder.h"
#include "song/song_reader.h"
#include "song/song_writer.h"
#include "support/file_io.h"
#include "support/runtime_errors.h"

#include <cerrno>
#include <gtest/gtest.h>
#include <numeric>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

using namespace songData;

namespace {

TEST(SongFileText, NewSongHasTheThreeNumbersAndE) {
  TSong song;
  EXPECT_EQ(SongFileText(song), "#BPM:125\r\n#GAP:0\r\n#VIDEOGAP:0\r\nE\r\n");
  EXPECT_EQ(song.Tags, (std::vector<std::string>{"#BPM:125", "#GAP:0", "#VIDEOGAP:0"}));
}

TEST(SongFileText, NumbersReplaceTheirLinesInPlace) {
  TSong song;
  song.Tags = {"#TITLE:t", "#bpm:1", "#MP3:m.mp3", "#GAP:9", "#Gap:7", "#VIDEOGAP"};
  song.BPM = 123.456;
  song.MusicOffset = -1.2345;
  song.VideoGap = 2.5;
  EXPECT_EQ(SongFileText(song), "#TITLE:t\r\n#BPM:123,46\r\n#MP3:m.mp3\r\n#GAP:1234\r\n#Gap:7\r\n"
                                "#VIDEOGAP\r\n#VIDEOGAP:2,5\r\nE\r\n");
}

TEST(SongFileText, NumberFormats) {
  struct {
    double BPM, MusicOffset, VideoGap;
    const char* Header;
  } cases[] = {
      {300.25, 0.5, 0, "#BPM:300,25\r\n#GAP:-500\r\n#VIDEOGAP:0\r\n"},
      {300.5, -1.5, -0.125, "#BPM:300,5\r\n#GAP:1500\r\n#VIDEOGAP:-0,125\r\n"},
      {1234567, -0.0015, 1e-7, "#BPM:1234600\r\n#GAP:2\r\n#VIDEOGAP:0,0000001\r\n"},
      {99.999999, -2.5005, 1234567.89, "#BPM:100\r\n#GAP:2500\r\n#VIDEOGAP:1234570\r\n"},
  };
  for (auto c : cases) {
    TSong song;
    song.BPM = c.BPM;
    song.MusicOffset = c.MusicOffset;
    song.VideoGap = c.VideoGap;
    EXPECT_EQ(SongFileText(song), std::string(c.Header) + "E\r\n") << c.BPM;
  }
}

TEST(SongFileText, NoteLinesInFileOrder) {
  TSong song;
  song.UseBOM = true;
  song.Tags = {"#TITLE:\xC3\xA9"};
  song.Notes = {MakeNote(nkNormal, 16, 4, -3, "b c"), MakeNote(nkGolden, 0, 2, 5, ""),
                MakeNote(nkLineBreak, 16), MakeNote(nkFreestyle, 8, 1, 0, "\xFF"),
                MakeNote(TNoteKind(7), 30, 1, 1, "?")};
  EXPECT_EQ(SongFileText(song),
            "\xEF\xBB\xBF#TITLE:\xC3\xA9\r\n#BPM:125\r\n#GAP:0\r\n#VIDEOGAP:0\r\n"
            "* 0 2 5 \r\nF 8 1 0 \xFF\r\n- 16\r\n: 16 4 -3 b c\r\n30 1 1 ?\r\nE\r\n");
}

TEST(SongFileText, RapAndDuetLines) {
  TSong song;
  auto second = [](TNote note) {
    note.Voice = SecondVoice;
    return note;
  };
  song.Notes = {second(MakeNote(nkRap, 0, 2, 0, "yo")),
                MakeNote(nkRapGolden, 4, 2, 3, "hey"),
                MakeNote(nkNormal, 4, 1, 1, "n"),
                second(MakeNote(nkLineBreak, 2)),
                MakeNote(nkFreestyle, 4, 1, 1, "f"),
                MakeNote(nkRap, 0, 4, 0, "go"),
                MakeNote(nkLineBreak, 4),
                MakeNote(nkGolden, 8, 1, 2, "g"),
                MakeNote(nkRapGolden, 8, 1, 2, "h"),
                second(MakeNote(nkRapGolden, 2, 1, 0))};
  EXPECT_EQ(SongFileText(song), "#BPM:125\r\n#GAP:0\r\n#VIDEOGAP:0\r\nP1\r\n"
                                "R 0 4 0 go\r\n- 4\r\nF 4 1 1 f\r\nG 4 2 3 hey\r\n"
                                ": 4 1 1 n\r\n* 8 1 2 g\r\nG 8 1 2 h\r\nP2\r\n"
                                "R 0 2 0 yo\r\n- 2\r\nG 2 1 0 \r\nE\r\n");
  // A song of the first voice alone has no voice lines.
  std::erase_if(song.Notes, [](const TNote& note) { return note.Voice == SecondVoice; });
  EXPECT_EQ(SongFileText(song).find("P1"), std::string::npos);
}

// The order the file lists records in, computed the long way for every record.
std::vector<std::size_t> PlainWriteOrder(const std::vector<TNote>& notes) {
  std::vector<std::size_t> order(notes.size());
  std::iota(order.begin(), order.end(), 0);
  // Rap ranks as normal, golden rap as golden.
  auto rank = [](TNoteKind kind) {
    return kind == nkRap ? 1 : kind == nkRapGolden ? 2 : int(kind);
  };
  auto before = [&](std::size_t a, std::size_t b) {
    return notes[a].Start < notes[b].Start ||
           (notes[a].Start == notes[b].Start && rank(notes[a].Kind) > rank(notes[b].Kind));
  };
  for (std::size_t p = 0; p < order.size(); ++p)
    for (std::size_t q = p + 1; q < order.size(); ++q)
      if (before(order[q], order[p])) std::swap(order[p], order[q]);
  return order;
}

TEST(WriteOrder, MatchesTheExchangeProcedureOnSortedAndShuffledRecords) {
  std::mt19937 random(7);
  for (int round = 0; round < 200; ++round) {
    std::vector<TNote> notes;
    int count = 1 + static_cast<int>(random() % 40);
    for (int i = 0; i < count; ++i) {
      notes.push_back(MakeNote(TNoteKind(1 + random() % 4), static_cast<std::int32_t>(random() % 6),
                               1, 0, std::to_string(i)));
    }
    if (round % 2 == 0) {
      TSong song;
      song.Notes = notes;
      SortNotes(song);
      notes = song.Notes;
    }
    ASSERT_EQ(WriteOrder(notes), PlainWriteOrder(notes)) << round;
  }
}

TEST(WriteOrder, EachVoiceInTurnByTheSameProcedure) {
  std::mt19937 random(11);
  for (int round = 0; round < 200; ++round) {
    std::vector<TNote> notes;
    int count = 1 + static_cast<int>(random() % 40);
    for (int i = 0; i < count; ++i) {
      notes.push_back(MakeNote(TNoteKind(1 + random() % 6), static_cast<std::int32_t>(random() % 6),
                               1, 0, std::to_string(i)));
      notes.back().Voice = static_cast<std::uint8_t>(1 + random() % 2);
    }
    if (round % 2 == 0) {
      TSong song;
      song.Notes = notes;
      SortNotes(song);
      notes = song.Notes;
    }
    std::vector<std::size_t> expected;
    for (std::uint8_t voice : {FirstVoice, SecondVoice}) {
      std::vector<std::size_t> positions;
      std::vector<TNote> ofVoice;
      for (std::size_t i = 0; i < notes.size(); ++i)
        if (notes[i].Voice == voice) {
          positions.push_back(i);
          ofVoice.push_back(notes[i]);
        }
      for (std::size_t k : PlainWriteOrder(ofVoice))
        expected.push_back(positions[k]);
    }
    ASSERT_EQ(WriteOrder(notes), expected) << round;
  }
}

TEST(SongFileText, WritesEveryRecordOfALargeSong) {
  TSong song;
  for (int i = 0; i < 7000; ++i)
    song.Notes.push_back(MakeNote(nkNormal, 7000 - i, 1, 1, "x"));
  std::string text = SongFileText(song);
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 7000 + 4);
  EXPECT_EQ(text.find(": 1 1 1 x\r\n"), text.find("#VIDEOGAP:0\r\n") + 13);
}

TEST(SongFileText, ReadsBackTheSameSong) {
  std::string file =
      "#TITLE:x\r\n#BPM:300,5\r\n#GAP:1500\r\n#VIDEOGAP:2,5\r\n: 0 4 12 a b\r\n- 16\r\n"
      "* 16 2 -5 \r\nF 20 1 3 \xC3\xA9\r\nE\r\n";
  TSongFileContent content = ParseSongText(file);
  TSong song;
  song.Tags = content.Tags;
  THeaderNumbers numbers = ReadHeaderNumbers(content.Tags);
  song.BPM = numbers.BPM;
  song.MusicOffset = numbers.MusicOffset;
  song.VideoGap = numbers.VideoGap;
  song.Notes = content.Notes;
  EXPECT_EQ(SongFileText(song), file);
}

// A file that ends early or opens as no song would lose every note after the text.
TEST(SongFileText, LineBreaksAndControlBytesInTextsAndTagsBecomeSpaces) {
  TSong song;
  song.Tags = {"#TITLE:one\r\nE\ntwo"};
  song.Notes = {MakeNote(nkNormal, 0, 2, 1, "a\rE\nb"), MakeNote(nkNormal, 4, 2, 1, "\n")};
  for (int i = 0; i < 20; ++i)
    song.Notes.push_back(MakeNote(nkNormal, 8 + i, 1, 1, std::string("\0\x1B\t", 3)));
  const std::string text = SongFileText(song);
  const std::string start = "#TITLE:one  E two\r\n#BPM:125\r\n#GAP:0\r\n#VIDEOGAP:0\r\n"
                            ": 0 2 1 a E b\r\n: 4 2 1  \r\n: 8 1 1   \t\r\n";
  EXPECT_EQ(text.substr(0, start.size()), start);
  TTempFolder folder;
  TSongFileContent content = ReadSongFile(folder.Write("song.txt", text));
  EXPECT_EQ(content.Notes.size(), 22u);
  EXPECT_EQ(content.Tags.size(), 4u);
}

// Whatever the editor writes reads back whole: a paste may leave a song of any size.
TEST(SongFileText, ALargeSongReadsBackWhole) {
  TSong song;
  for (int i = 0; i < 6000; ++i)
    song.Notes.push_back(MakeNote(nkNormal, 2 * i, 1, i % 40, std::to_string(i)));
  TSongFileContent content = ParseSongText(SongFileText(song));
  EXPECT_EQ(content.Notes, song.Notes);
  EXPECT_TRUE(content.Report.Empty());
}

class SaveSongFiles : public testing::Test {
protected:
  void SetUp() override {
    Song.SongDir = Folder.Path();
    Song.SongFileName = "Song.TXT";
    Song.Tags = {"#TITLE:new"};
  }
  TTempFolder Folder;
  TSong Song;
};

TEST_F(SaveSongFiles, FirstSaveAfterALoadKeepsTheLoadedFileAsBak) {
  Folder.Write("Song.TXT", "loaded");
  Song.BackupPending = true;
  SaveSong(Song);
  EXPECT_FALSE(Song.BackupPending);
  EXPECT_EQ(Folder.Read("Song.bak"), "loaded");
  EXPECT_EQ(Folder.Read("Song.TXT").substr(0, 12), "#TITLE:new\r\n");
  Song.Tags = {"#TITLE:second"};
  SaveSong(Song);
  EXPECT_EQ(Folder.Read("Song.bak"), "loaded");
  EXPECT_EQ(Folder.Read("Song.TXT").substr(0, 15), "#TITLE:second\r\n");
  EXPECT_EQ(Folder.Listing(), "Song.TXT Song.bak");
}

TEST_F(SaveSongFiles, ALinkedSongIsSavedIntoTheFileItLeadsTo) {
  ASSERT_EQ(mkdir(Folder.File("real").c_str(), 0700), 0);
  Folder.Write("real/Song.txt", "loaded");
  ASSERT_EQ(symlink("real/Song.txt", Folder.File("Song.TXT").c_str()), 0);
  Song.BackupPending = true;
  SaveSong(Song);
  EXPECT_EQ(Folder.Read("real/Song.bak"), "loaded");
  EXPECT_EQ(Folder.Read("Song.TXT").substr(0, 12), "#TITLE:new\r\n");
  EXPECT_EQ(Folder.Read("real/Song.txt").substr(0, 12), "#TITLE:new\r\n");
}

TEST_F(SaveSongFiles, AnExistingBakIsKept) {
  Folder.Write("Song.TXT", "loaded");
  Folder.Write("Song.bak", "older");
  Song.BackupPending = true;
  SaveSong(Song);
  EXPECT_EQ(Folder.Read("Song.bak"), "older");
  EXPECT_EQ(Folder.Read("Song.TXT").substr(0, 12), "#TITLE:new\r\n");
}

TEST_F(SaveSongFiles, ANameWithoutTxtGetsBakAppended) {
  for (const char* name : {"song", "song.lyrics"}) {
    Song.SongFileName = name;
    Folder.Write(name, "loaded");
    Song.BackupPending = true;
    SaveSong(Song);
    EXPECT_EQ(Folder.Read(std::string(name) + ".bak"), "loaded");
  }
  EXPECT_EQ(Folder.Listing(), "song song.bak song.lyrics song.lyrics.bak");
}

TEST_F(SaveSongFiles, KeepsTheFileModeOfTheSong) {
  Folder.Write("Song.TXT", "loaded");
  ASSERT_EQ(chmod(Folder.File("Song.TXT").c_str(), 0640), 0);
  SaveSong(Song);
  struct stat st {};
  ASSERT_EQ(stat(Folder.File("Song.TXT").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST_F(SaveSongFiles, FailedReplaceLeavesTheTargetAndNoTemporaryFile) {
  // A folder in the song's place makes the final rename fail after the content was written.
  ASSERT_EQ(mkdir(Folder.File("Song.TXT").c_str(), 0700), 0);
  Folder.Write("Song.TXT/inside", "kept");
  Song.BackupPending = true;
  EXPECT_THROW(SaveSong(Song), MyServis::EInOutError);
  EXPECT_EQ(Folder.Read("Song.TXT/inside"), "kept");
  EXPECT_EQ(Folder.Listing(), "Song.TXT");
  EXPECT_TRUE(Song.BackupPending);
}

TEST_F(SaveSongFiles, UnwritableFolderLeavesTheSongOnDisk) {
  if (geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
  Folder.Write("Song.TXT", "loaded");
  ASSERT_EQ(chmod(Folder.Path().c_str(), 0500), 0);
  EXPECT_THROW(SaveSong(Song), MyServis::EInOutError);
  chmod(Folder.Path().c_str(), 0700);
  EXPECT_EQ(Folder.Read("Song.TXT"), "loaded");
  EXPECT_EQ(Folder.Listing(), "Song.TXT");
}

TEST_F(SaveSongFiles, FailureNamesTheFileAndTheReason) {
  Song.SongDir = Folder.File("missing-folder");
  try {
    SaveSong(Song);
    FAIL() << "no failure";
  } catch (const MyServis::EInOutError& e) {
    std::string message = e.what();
    EXPECT_NE(message.find(Folder.File("missing-folder/Song.TXT")), std::string::npos) << message;
    EXPECT_NE(message.find("No such file or directory"), std::string::npos) << message;
  }
  EXPECT_EQ(Folder.Listing(), "");
}

// A read-only folder, a disk that fills part-way through, and a save stopped
// after the new content was written: the song on disk stays whole, no
// temporary file is left, and the next save still keeps a backup (a stopped
// save may have made it already, of the same content).
TEST_F(SaveSongFiles, WriteFaultsLeaveTheSongOnDiskWhole) {
  MyServis::TWriteFaults readOnly, diskFull, stopped;
  readOnly.CreateError = EACCES;
  diskFull.BytesBeforeDiskFull = 10;
  stopped.StopBeforeRename = true;
  for (const MyServis::TWriteFaults& faults : {readOnly, diskFull, stopped}) {
    Folder.Write("Song.TXT", "loaded");
    Song.BackupPending = true;
    MyServis::SetWriteFaults(faults);
    EXPECT_THROW(SaveSong(Song), MyServis::EInOutError);
    MyServis::SetWriteFaults({});
    EXPECT_EQ(Folder.Read("Song.TXT"), "loaded");
    const std::string listing = Folder.Listing();
    EXPECT_TRUE(listing == "Song.TXT" || listing == "Song.TXT Song.bak") << listing;
    if (listing != "Song.TXT") {
      EXPECT_EQ(Folder.Read("Song.bak"), "loaded");
    }
    EXPECT_TRUE(Song.BackupPending);
  }
}

} // namespace
