// Songs in the styles other editors, games and song databases write, each with the
// file this editor saves from it. Saving keeps every note, voice, text and beat:
// the saved file reads back as the same song and saves again to the same bytes.
#include "common/temp_folder.h"
#include "song/song_loader.h"
#include "song/song_writer.h"

#include <gtest/gtest.h>

using namespace songData;

namespace {

struct TCorpusSong {
  const char* Name;
  std::string File;
  std::string Saved;
};

void PrintTo(const TCorpusSong& c, std::ostream* out) {
  *out << c.Name;
}

std::string Utf16(std::u16string_view text, bool bigEndian) {
  std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
  for (char16_t unit : text) {
    char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
    bytes += bigEndian ? std::string{high, low} : std::string{low, high};
  }
  return bytes;
}

class TReportKeeper : public TSongLoadHost {
public:
  void ReportReading(const TReadingReport& report) override { Report = report; }
  TReadingReport Report;
};

// The notes as the file lists them.
std::vector<TNote> InFileOrder(const TSong& song) {
  std::vector<TNote> notes;
  for (std::size_t i : WriteOrder(song.Notes))
    notes.push_back(song.Notes[i]);
  return notes;
}

class CorpusSongs : public testing::TestWithParam<TCorpusSong> {
protected:
  TSong Load(const std::string& bytes, TReadingReport& report) {
    TSong song;
    TUndoHistory history;
    TReportKeeper host;
    LoadSongSteps(song, history, Folder.Write("song.txt", bytes), host);
    report = host.Report;
    return song;
  }
  TTempFolder Folder;
};

TEST_P(CorpusSongs, SaveKeepsTheSong) {
  TReadingReport firstReport, secondReport;
  TSong first = Load(GetParam().File, firstReport);
  const std::string saved = SongFileText(first);
  EXPECT_EQ(saved, GetParam().Saved);
  TSong second = Load(saved, secondReport);
  EXPECT_EQ(InFileOrder(second), InFileOrder(first));
  EXPECT_EQ(second.Tags, first.Tags);
  EXPECT_TRUE(secondReport.Empty()) << ReadingNotices(secondReport).front();
  EXPECT_EQ(SongFileText(second), saved);
}

INSTANTIATE_TEST_SUITE_P(
    Styles, CorpusSongs,
    testing::Values(
        TCorpusSong{"Rap",
                    "#TITLE:Rap Song\n#ARTIST:Someone\n#BPM:200\n#GAP:500\n: 0 2 5 Yo\n"
                    "R 2 2 0 talk\nG 4 2 0 loud\n- 6\nR 8 1 0 end\nG 9 1 0\nE\n",
                    "#TITLE:Rap Song\r\n#ARTIST:Someone\r\n#BPM:200\r\n#GAP:500\r\n#VIDEOGAP:0\r\n"
                    ": 0 2 5 Yo\r\nR 2 2 0 talk\r\nG 4 2 0 loud\r\n- 6\r\nR 8 1 0 end\r\n"
                    "G 9 1 0 \r\nE\r\n"},
        TCorpusSong{"DuetWithNames",
                    "#TITLE:Duet\n#P1:Anna\n#P2:Ben\n#BPM:300\nP1\n: 0 4 10 Hel\n: 4 4 12 lo\n"
                    "- 10\n: 12 2 10 you\nP2\n: 2 4 7 Hi\n- 8\n* 10 4 9 there\nE\n",
                    "#TITLE:Duet\r\n#P1:Anna\r\n#P2:Ben\r\n#BPM:300\r\n#GAP:0\r\n#VIDEOGAP:0\r\n"
                    "P1\r\n: 0 4 10 Hel\r\n: 4 4 12 lo\r\n- 10\r\n: 12 2 10 you\r\nP2\r\n"
                    ": 2 4 7 Hi\r\n- 8\r\n* 10 4 9 there\r\nE\r\n"},
        TCorpusSong{"DuetWithSpacedMarkers",
                    "#TITLE:Duet Two\r\n#DUETSINGERP1:Cara\r\n#DUETSINGERP2:Dan\r\n#BPM:250,5\r\n"
                    "#GAP:1200\r\nP 1\r\n: 0 3 0 la\r\n- 4\r\n: 5 3 2 li\r\nP 2\r\n: 0 3 0 la\r\n"
                    "F 5 3 0 hm\r\nE\r\n",
                    "#TITLE:Duet Two\r\n#DUETSINGERP1:Cara\r\n#DUETSINGERP2:Dan\r\n#BPM:250,5\r\n"
                    "#GAP:1200\r\n#VIDEOGAP:0\r\nP1\r\n: 0 3 0 la\r\n- 4\r\n: 5 3 2 li\r\nP2\r\n"
                    ": 0 3 0 la\r\nF 5 3 0 hm\r\nE\r\n"},
        TCorpusSong{"RelativeWithTwoNumberBreaks",
                    "#TITLE:Rel\n#RELATIVE:yes\n#BPM:240\n: 0 2 4 one\n: 2 2 4 two\n- 5 6\n"
                    ": 0 2 5 three\n: 3 1 5 four\n- 5 8\n: 1 3 7 five\nE\n",
                    "#TITLE:Rel\r\n#BPM:240\r\n#GAP:0\r\n#VIDEOGAP:0\r\n: 0 2 4 one\r\n"
                    ": 2 2 4 two\r\n- 5\r\n: 6 2 5 three\r\n: 9 1 5 four\r\n- 11\r\n"
                    ": 15 3 7 five\r\nE\r\n"},
        TCorpusSong{"RelativeDuetWithOneNumberBreaks",
                    "#RELATIVE:YES\n#TITLE:Rel Duet\nP1\n: 0 2 1 a\n- 4\n: 0 2 1 b\n- 3\n"
                    ": 1 1 1 c\nP2\n: 0 1 3 x\n- 2\n: 0 1 3 y\nE\n",
                    "#TITLE:Rel Duet\r\n#BPM:125\r\n#GAP:0\r\n#VIDEOGAP:0\r\nP1\r\n: 0 2 1 a\r\n"
                    "- 4\r\n: 4 2 1 b\r\n- 7\r\n: 8 1 1 c\r\nP2\r\n: 0 1 3 x\r\n- 2\r\n"
                    ": 2 1 3 y\r\nE\r\n"},
        TCorpusSong{"Windows1252WithoutTag",
                    "#TITLE:Caf\xE9 M\xFCller\n#ARTIST:Ren\xE9"
                    "e\n#BPM:180\n: 0 4 60 Gr\xFC\n"
                    ": 4 4 62 \xDF\xE9\n- 10\n: 12 2 60 \x93zu\x94\nE\n",
                    "#TITLE:Caf\xC3\xA9 M\xC3\xBCller\r\n#ARTIST:Ren\xC3\xA9"
                    "e\r\n#BPM:180\r\n"
                    "#GAP:0\r\n#VIDEOGAP:0\r\n: 0 4 60 Gr\xC3\xBC\r\n: 4 4 62 \xC3\x9F\xC3\xA9\r\n"
                    "- 10\r\n: 12 2 60 \xE2\x80\x9Czu\xE2\x80\x9D\r\nE\r\n"},
        TCorpusSong{"Windows1252NamedWithALongText",
                    "#ENCODING:CP1252\n#TITLE:\xC0 la claire\n#BPM:200\n: 0 2 0 " +
                        std::string(24, '\xE9') + "\n- 4\nE\n",
                    "#TITLE:\xC3\x80 la claire\r\n#BPM:200\r\n#GAP:0\r\n#VIDEOGAP:0\r\n: 0 2 0 " +
                        [] {
                          std::string text;
                          for (int i = 0; i < 23; ++i)
                            text += "\xC3\xA9";
                          return text;
                        }() +
                        "\r\n- 4\r\nE\r\n"},
        TCorpusSong{"Latin1Named",
                    "#ENCODING:ISO-8859-1\n#TITLE:S\xF8ren\n: 0 1 0 \xE6\xF8\xE5\nE\n",
                    "#TITLE:S\xC3\xB8ren\r\n#BPM:125\r\n#GAP:0\r\n#VIDEOGAP:0\r\n"
                    ": 0 1 0 \xC3\xA6\xC3\xB8\xC3\xA5\r\nE\r\n"},
        TCorpusSong{
            "Utf16LittleEndian",
            Utf16(u"#TITLE:\u00dcn\u00efc\u00f6d\u00e9\r\n#BPM:100\r\n: 0 2 5 Gr\u00fc\u00df\r\n"
                  u"- 3\r\n: 4 2 5 \u65e5\u672c\r\nE\r\n",
                  false),
            "\xEF\xBB\xBF#TITLE:\xC3\x9Cn\xC3\xAF"
            "c\xC3\xB6"
            "d\xC3\xA9\r\n#BPM:100\r\n"
            "#GAP:0\r\n#VIDEOGAP:0\r\n: 0 2 5 Gr\xC3\xBC\xC3\x9F\r\n- 3\r\n"
            ": 4 2 5 \xE6\x97\xA5\xE6\x9C\xAC\r\nE\r\n"},
        TCorpusSong{
            "Utf16BigEndianDuetRap",
            Utf16(u"#TITLE:BE\r\nP1\r\nR 0 1 0 \u30e9\r\nP2\r\nG 0 1 0 \U0001F3A4\r\nE\r\n", true),
            "\xEF\xBB\xBF#TITLE:BE\r\n#BPM:125\r\n#GAP:0\r\n#VIDEOGAP:0\r\nP1\r\n"
            "R 0 1 0 \xE3\x83\xA9\r\nP2\r\nG 0 1 0 \xF0\x9F\x8E\xA4\r\nE\r\n"},
        TCorpusSong{"SpacesAndJoinedLineBreaks",
                    "#TITLE:Spaces\n:  0  4  12 one\n*   4 4 12  two\n-20\n:22 2 3 three\n"
                    "- 24   30\n:  28 2 3\nE\n",
                    "#TITLE:Spaces\r\n#BPM:125\r\n#GAP:0\r\n#VIDEOGAP:0\r\n: 0 4 12 one\r\n"
                    "* 4 4 12  two\r\n- 20\r\n: 22 2 3 three\r\n- 24\r\n: 28 2 3 \r\nE\r\n"},
        TCorpusSong{"AudioVersionAndOtherTags",
                    "#VERSION:1.0.0\n#TITLE:New Tags\n#AUDIO:song.ogg\n#VOCALS:vocals.ogg\n"
                    "#BPM:120\n#GAP:0\n#VIDEOGAP:0\n: 0 1 0 a\nE\n",
                    "#VERSION:1.0.0\r\n#TITLE:New Tags\r\n#AUDIO:song.ogg\r\n#VOCALS:vocals.ogg\r\n"
                    "#BPM:120\r\n#GAP:0\r\n#VIDEOGAP:0\r\n: 0 1 0 a\r\nE\r\n"},
        TCorpusSong{"JunkLines",
                    "#TITLE:Junk\n: 0 1 0 a\nB 4 300\n\n   \n~ what\nP3\n: 2 1 0 b\nE\nafter\n",
                    "#TITLE:Junk\r\n#BPM:125\r\n#GAP:0\r\n#VIDEOGAP:0\r\n: 0 1 0 a\r\n"
                    ": 2 1 0 b\r\nE\r\n"}),
    [](const auto& info) { return std::string(info.param.Name); });

} // namespace
