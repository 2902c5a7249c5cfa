// Writes the seed corpora of the targets whose inputs the project's own
// writers make: fuzz_seeds <corpus folder> fills <corpus folder>/<target>/.
#include "song/note_clipboard.h"
#include "song/recovery_file.h"
#include "support/control_files.h"
#include "support/file_io.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using namespace songData;
using namespace std::string_literals;

std::string root;

void Seed(const std::string& target, const std::string& name, const std::string& bytes) {
  std::filesystem::create_directories(root + "/" + target);
  MyServis::WriteFileAtomically(root + "/" + target + "/" + name, bytes);
}

std::string Utf16(const std::u16string& text, bool bigEndian, bool mark = true) {
  std::string out = !mark ? "" : bigEndian ? "\xFE\xFF" : "\xFF\xFE";
  for (char16_t unit : text) {
    const auto low = static_cast<char>(unit & 0xFF), high = static_cast<char>(unit >> 8);
    out += bigEndian ? high : low;
    out += bigEndian ? low : high;
  }
  return out;
}

void SongSeeds() {
  const std::string header = "#TITLE:Seed\r\n#ARTIST:Chorvanta\r\n#MP3:seed.mp3\r\n"
                             "#BPM:300,5\r\n#GAP:1200\r\n";
  Seed("song_reader_fuzz", "plain.txt",
       header + ": 0 4 5 Hel\r\n* 4 4 7 lo\r\n- 10\r\nF 12 2 0 free\r\n"
                "R 16 2 0 rap\r\nG 20 2 0 gold\r\nE\r\n");
  Seed("song_reader_fuzz", "duet.txt",
       header + "#P1:One\n#P2:Two\nP1\n: 0 4 5 one\n- 6\n: 8 2 3 more\nP 2\n: 2 4 9 two\n"
                "- 7 9\n: 10 2 1 end\nE\n");
  Seed("song_reader_fuzz", "relative.txt",
       "#TITLE:Rel\n#RELATIVE:yes\n#BPM:200.5\n: 0 2 4 a\n: 2 2 4 b\n- 6 8\n: 0 2 4 c\n"
       "- 4\n: 1 1 1 d\nE\n");
  Seed("song_reader_fuzz", "cp1252.txt",
       "#ENCODING:CP1252\n#TITLE:Caf\xE9\n#BPM:100\n: 0 2 4 \xE9t\xE9\n: 3 2 4 \x80\x9F\nE\n");
  Seed("song_reader_fuzz", "latin1.txt", "#TITLE:x\n#ENCODING: iso-8859-1\n: 0 2 4 \xFC\xDF\nE\n");
  Seed("song_reader_fuzz", "unsupported.txt", "#ENCODING:KOI8-R\n: 0 2 4 \xC1\xC2\nE\n");
  Seed("song_reader_fuzz", "repaired.txt",
       "#TITLE:B\xE4r \xC3\xA9\n: 0 2 4 \xF0\x9F\x8E\xA4\xFF\nE\n");
  Seed("song_reader_fuzz", "bom.txt",
       "\xEF\xBB\xBF" + header + ": 0 2 4 x\r\n\xEF\xBB\xBF- 3\r\nE");
  const std::u16string text =
      u"#TITLE:\u00C4\u20AC\n#BPM:120\n: 0 2 4 \u00E9\U0001F3A4\n- 3\n: 4 2 4 \xD800x\nE\n";
  Seed("song_reader_fuzz", "utf16le.txt", Utf16(text, false));
  Seed("song_reader_fuzz", "utf16be.txt", Utf16(text, true));
  Seed("song_reader_fuzz", "utf16le-unmarked.txt", Utf16(text, false, false));
  Seed("song_reader_fuzz", "utf16be-unmarked.txt", Utf16(text, true, false));
  Seed("song_reader_fuzz", "told.txt",
       "#BPM:123#0\n#GAP:NaN\n#VIDEOGAP:1e400\n: 4 2 1 a\n: 2 2 1 b\n- 0\nE\n: 9 1 1 c\n#LATE:x\n");
  Seed("song_reader_fuzz", "cr.txt", "#BPM:1\r: -5 -2 -2147483648 a\r:9999999999 1 1\rx\r\rE");
}

void ControlTextSeeds() {
  const std::string text =
      "# settings\r\n$Section Window\r\n  Width    640\r\n  Scale    1.250000\r\n"
      "  Shown    ON\r\n  Title    \"Chorvanta, editor\"\r\n"
      "  Recent   (a.txt, \"b,c.txt\",\r\n            d.txt)\r\n"
      "  $Section Inner Part\r\n    Depth    -3\r\n  $EndOfSection\r\n"
      "$EndOfSection\r\n; last\r\n";
  Seed("ctl_text_fuzz", "settings.ctl", text);
  Seed("ctl_text_fuzz", "include.ctl", "$Include other.ctl\nKey value\n$INCLUDE fuzz.ctl\n");
  Seed("ctl_text_fuzz", "numbers.ctl", "A 1e308\nB -0.5\nC +7\nD 2147483648\nE ()\nF OFF\n");
}

// Little-endian chunk data, built field by field.
struct TChunks {
  TChunks& Byte(unsigned value) {
    Bytes += static_cast<char>(value);
    return *this;
  }
  TChunks& Int32(std::uint32_t value) {
    for (int k = 0; k < 4; ++k)
      Byte((value >> (8 * k)) & 0xFF);
    return *this;
  }
  TChunks& String(const std::string& text) {
    Byte(text.size() & 0xFF).Byte((text.size() >> 8) & 0xFF);
    Bytes += text;
    return *this;
  }
  std::string Bytes;
};

// A binary control file as the library writes it, after the target's mode byte.
std::string WrittenBinary(const std::string& text, const std::string& password) {
  using namespace ControlFiles2;
  const std::string path = root + "/written.ctl";
  MyServis::WriteFileAtomically(path, text);
  MyServis::TNamedLockGuard guard(State().ControlFilesLock);
  const std::int32_t handle = LoadControlFile(path, password);
  SaveControlFile(handle, smBinary);
  ReleaseControlFile(handle);
  std::string bytes = MyServis::ReadFileBytes(path);
  std::filesystem::remove(path);
  return std::string(1, password.empty() ? '\x02' : '\x03') + bytes;
}

void ControlBinarySeeds() {
  TChunks body;
  body.Int32(4242).Int32(5);
  body.Byte(1).String("# comment");
  body.Byte(3).String("Window").Int32(4);
  body.Byte(10).String("Shown").Byte(1);
  body.Byte(11).String("Width").Int32(640);
  body.Byte(12).String("Scale").Int32(0).Int32(0x3FF40000);
  body.Byte(14).String("Recent").Int32(2).String("a.txt").String("b,c.txt");
  body.Byte(13).String("Title").String("Chorvanta");
  body.Byte(2).String("other.ctl");
  body.Byte(13).String("Last").String("");
  Seed("ctl_binary_fuzz", "plain.bin", "\x00"s + body.Bytes);
  Seed("ctl_binary_fuzz", "plain-password.bin", "\x01"s + body.Bytes);
  const std::string text = "$Section Window\r\n  Width 640\r\n  Scale 1.5\r\n  Shown ON\r\n"
                           "  Recent (a, b)\r\n  Title \"x y\"\r\n$EndOfSection\r\n";
  Seed("ctl_binary_fuzz", "written.bin", WrittenBinary(text, ""));
  Seed("ctl_binary_fuzz", "written-password.bin", WrittenBinary(text, "fuzz"));
}

TSong ClipboardSong() {
  TSong song;
  const TNoteKind kinds[] = {nkNormal, nkGolden, nkFreestyle, nkLineBreak, nkRap, nkRapGolden};
  for (std::int32_t i = 0; i < 6; ++i) {
    TNote note;
    note.Start = 10 * i - 5;
    note.Length = 3;
    note.Pitch = 2 * i - 4;
    note.Kind = kinds[i];
    note.Selected = true;
    note.Voice = i >= 3 ? SecondVoice : FirstVoice;
    note.Text = i == 5 ? std::string(47, 'w') : "s\xC3\xA9" + std::to_string(i);
    song.Notes.push_back(note);
  }
  return song;
}

void ClipboardSeeds() {
  const std::string block = EncodeNoteBlock(ClipboardSong());
  Seed("note_clipboard_fuzz", "block.bin", block);
  // A count beyond the records, a record of an unknown kind, then the cursor time.
  std::string damaged = block;
  damaged[4] = '\x40';
  damaged[NoteBlockHeader + 12] = '\x09';
  const double cursor = 3.25;
  damaged.append(reinterpret_cast<const char*>(&cursor), sizeof cursor);
  Seed("note_clipboard_fuzz", "damaged.bin", damaged);
}

void LyricsSeeds() {
  std::string memo;
  for (char16_t unit : std::u16string(u"Hel\nlo \u00E9\n\U0001F3A4\n\xDC00x\n")) {
    memo += static_cast<char>(unit & 0xFF);
    memo += static_cast<char>(unit >> 8);
  }
  // Kind byte and voice byte before each text; two zero bytes end the song.
  const std::string song = "\x06\x00Hel\n\x01\x00lo\n\x03\x01two\n\x04\x00\n"
                           "\x05\x00\xC3\xA9\xE2\x82\n\x06\x00"s +
                           std::string(47, 'z') + "\x00\x00"s;
  Seed("lyrics_text_fuzz", "memo.bin", song + memo);
}

void RecoverySeeds() {
  TSong song = ClipboardSong();
  song.SongDir = "/home/author/songs";
  song.SongFileName = "Seed.txt";
  song.Tags = {"#TITLE:Seed", "#MP3:seed.mp3"};
  Seed("recovery_file_fuzz", "solo.recovery", RecoveryText(song, std::nullopt));
  Seed("recovery_file_fuzz", "stamped.recovery",
       RecoveryText(song, MyServis::TFileStamp{1765000000123456789, 4096}));
  Seed("recovery_file_fuzz", "empty.recovery", "#CHORVANTA-RECOVERY:/a.txt\nE\n");
}

} // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: fuzz_seeds <corpus folder>\n");
    return 2;
  }
  root = argv[1];
  try {
    SongSeeds();
    ControlTextSeeds();
    ControlBinarySeeds();
    ClipboardSeeds();
    LyricsSeeds();
    RecoverySeeds();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "fuzz_seeds: %s\n", e.what());
    return 1;
  }
  return 0;
}
