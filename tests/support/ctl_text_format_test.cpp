#include "ctl_test_files.h"

#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <random>

using namespace ControlFiles2;

namespace {

// The file as the text form writes it back after a load.
std::string Resave(const std::string& text) {
  TTempFolder folder;
  TControlFile file(folder.Write("resave.ctl", text), "");
  file.Save();
  return folder.Read("resave.ctl");
}

std::string LoadFailure(const std::string& text) {
  TTempFolder folder;
  return FailureOf([&] { TControlFile file(folder.Write("broken.ctl", text), ""); });
}

} // namespace

TEST(TextForm, TypesKeysByTheirValues) {
  struct TCase {
    const char* Line;
    const char* Saved;
  } cases[] = {
      {"Port 80", "Port    80"},
      {"Switch on", "Switch          ON"},
      {"Switch\tOfF", "Switch          OFF"},
      {"Quoted \"12\"", "Quoted          \"12\""},
      {"Big 2147483648", "Big     2147483648.0"},
      {"Low -2147483648", "Low     -2147483648"},
      {"Ten 1999999999", "Ten     1999999999"},
      {"Ten3 3000000000", "Ten3    3E+09"},
      {"Plus +7", "Plus    7"},
      {"Comma 1,5", "Comma           \"1,5\""},
      {"Point 1.", "Point           \"1.\""},
      {"Lead .5", "Lead    \".5\""},
      {"Real 2.5e-3", "Real    0.0025"},
      {"Empty", "Empty           \"\""},
      {"Spaced     a  b ", "Spaced          \"a  b\""},
      {"Inner \"say \"\"hi\"\"\"", "Inner           \"say \"hi\"\""},
      {"$Dollar 1", "$Dollar         1"},
      {"LongerName12 x", "LongerName12    \"x\""},
  };
  for (const TCase& c : cases) {
    EXPECT_EQ(Resave(std::string(c.Line) + "\n"), std::string(c.Saved) + "\r\n") << c.Line;
  }
}

// Saving must not round what it keeps: each float is written in the fewest
// digits that read back as the very same double.
TEST(TextForm, WritesFloatsThatReadBackTheSame) {
  struct TCase {
    double Value;
    const char* Text;
  } cases[] = {
      {3.5, "3.5"},
      {-2.25, "-2.25"},
      {0, "0.0"},
      {-0.0, "-0.0"},
      {3, "3.0"},
      {3.14159265358979, "3.14159265358979"},
      {0.1, "0.1"},
      {123456.789012, "123456.789012"},
      {1999999999, "1999999999.0"},
      {1e22, "1E+22"},
      {-1.5e-7, "-1.5E-07"},
      {5e-324, "5E-324"},
      {1.7976931348623157e308, "1.7976931348623157E+308"},
  };
  for (const TCase& c : cases)
    EXPECT_EQ(FloatText(c.Value), c.Text) << c.Value;

  std::mt19937_64 random(20260301);
  std::vector<double> values;
  for (const TCase& c : cases)
    values.push_back(c.Value);
  while (values.size() < 500) {
    const std::uint64_t bits = random();
    double value = 0;
    std::memcpy(&value, &bits, sizeof value);
    if (std::isfinite(value)) values.push_back(value);
  }
  std::string text;
  for (std::size_t i = 0; i < values.size(); ++i)
    text += "F" + std::to_string(i) + " " + FloatText(values[i]) + "\n";
  TTempFolder folder;
  const std::string name = folder.Write("floats.ctl", text);
  TControlFile(name, "").Save();
  TControlFile file(name, "");
  MyServis::TNamedLockGuard guard(State().ControlFilesLock);
  for (std::size_t i = 0; i < values.size(); ++i) {
    auto* key = dynamic_cast<TFloatValue*>(FindKey("FLOATS.CTL:\\F" + std::to_string(i)));
    ASSERT_NE(key, nullptr) << i;
    EXPECT_EQ(std::memcmp(&key->Value, &values[i], sizeof(double)), 0) << FloatText(values[i]);
  }
}

TEST(TextForm, ReadsFloatsAsOlderVersionsWroteThem) {
  EXPECT_EQ(Resave("A 3.500000\nB 1.00000000E+09\nC -1.23456789E+10\nD 0.123457\n"),
            "A       3.5\r\nB       1E+09\r\nC       -12345678900.0\r\n"
            "D       0.123457\r\n");
  EXPECT_TRUE(IsFloatText("  -1.5E+10"));
  for (const char* bad : {"1.", ".5", "1e", "1.5x", "", "-", "1 "})
    EXPECT_FALSE(IsFloatText(bad));
  EXPECT_TRUE(IsIntegerText("  -2147483648"));
  for (const char* bad : {"2147483648", "-2147483649", "00000000000", "1.0", "+", ""})
    EXPECT_FALSE(IsIntegerText(bad)) << bad;
}

TEST(TextForm, KeepsSectionsCommentsAndCase) {
  std::string text = "# head\n"
                     "\n"
                     "$SECTION Window\n"
                     "Width 1024\n"
                     "; inside\n"
                     "$section Inner Part\n"
                     "Deep on\n"
                     "$endofsection\n"
                     "$EndOfSection\n"
                     "Name \"x\"\n";
  EXPECT_EQ(Resave(text), "# head\r\n"
                          "\r\n"
                          "$Section Window\r\n"
                          "  Width         1024\r\n"
                          "  ; inside\r\n"
                          "  $Section Inner Part\r\n"
                          "    Deep        ON\r\n"
                          "  $EndOfSection\r\n"
                          "$EndOfSection\r\n"
                          "Name    \"x\"\r\n");
}

TEST(TextForm, EndsSectionsAtTheEndOfTheFile) {
  EXPECT_EQ(Resave("$Section Open\r\nA 1"), "$Section Open\r\n  A     1\r\n$EndOfSection\r\n");
  EXPECT_EQ(Resave("A 1\r\n$EndOfSection\r\nLost 2\r\n"), "A       1\r\n");
}

TEST(TextForm, ReadsEveryLineEnding) {
  EXPECT_EQ(Resave("A 1\nB 2\r\nC 3\rD 4"), "A       1\r\nB       2\r\nC       3\r\nD       4\r\n");
}

TEST(TextForm, LaysOutListsOnTabStops) {
  EXPECT_EQ(Resave("Short (a, b, c)\n"), "Short           (a,      b,      c)\r\n");
  EXPECT_EQ(Resave("Empty ()\n"), "Empty           ()\r\n");
  EXPECT_EQ(Resave("Q (\"\", \"a b\", \"x,y\")\n"), "Q       (\"\",     \"a b\",  \"x,y\")\r\n");
  std::string items;
  for (int i = 0; i < 12; ++i)
    items += (i ? ", item" : "item") + std::to_string(i);
  std::string saved = Resave("List (" + items + ")\n");
  EXPECT_EQ(saved,
            "List    (item0,  item1,  item2,  item3,  item4,  item5,  item6,  item7,  item8,\r\n"
            "         item9,  item10, item11)\r\n");
  EXPECT_EQ(Resave(saved), saved);
}

TEST(TextForm, ReadsListsOverSeveralLines) {
  EXPECT_EQ(Resave("L (a,\n\n   b,\n c)\nNext 1\n"),
            "L       (a,      b,      c)\r\nNext    1\r\n");
  // Without its ")" the list runs to the end and loses its last character.
  EXPECT_EQ(Resave("L (a,\nbcd\n"), "L       (a,      bc)\r\n");
}

TEST(TextForm, ReportsUnnamedSectionsWithTheirLine) {
  std::string message = LoadFailure("A 1\n$Section S\nL (x,\ny)\n$Section Z\n$EndOfSection\n"
                                    "B 2\n$Section\n");
  EXPECT_NE(message.find("CTL2: Can't load control file: "), std::string::npos) << message;
  // Line 4 of section S: neither the nested section's lines nor list lines count.
  EXPECT_NE(message.find("CTL2: unnamed section in "), std::string::npos) << message;
  EXPECT_NE(message.find("broken.ctl line: 4"), std::string::npos) << message;
}

TEST(TextForm, RefusesNestingBeyondTheLimit) {
  auto nested = [](int levels) {
    std::string text;
    for (int i = 0; i < levels; ++i)
      text += "$Section S\n";
    return text + "K 1\n";
  };
  TTempFolder folder;
  TControlFile deepest(folder.Write("deepest.ctl", nested(MaxSectionDepth)), "");
  std::string path;
  for (int i = 0; i < MaxSectionDepth; ++i)
    path += "S\\";
  EXPECT_EQ(deepest.GetString(path + "K"), "1");
  for (int levels : {MaxSectionDepth + 1, 50000}) {
    std::string message = LoadFailure(nested(levels));
    EXPECT_NE(message.find("CTL2: sections nested more than 256 levels deep in "),
              std::string::npos)
        << message;
  }
}

TEST(TextForm, ReportsFloatsOutOfRange) {
  std::string message = LoadFailure("Huge 1" + std::string(400, '0') + "\n");
  EXPECT_NE(message.find("CTL2: Can't load control file: "), std::string::npos);
  EXPECT_NE(message.find("is not a valid floating point value"), std::string::npos) << message;
  EXPECT_EQ(Resave("Small 0." + std::string(398, '0') + "1\n"), "Small           0.0\r\n");
}

TEST(TextForm, LoadsIncludesBesideTheIncludingFile) {
  TTempFolder folder;
  folder.Write("inner.ctl", "Color \"red\"\n");
  std::string outer = folder.Write("outer.ctl", "$include inner.ctl\nSize 3\n");
  {
    TControlFile file(outer, "");
    EXPECT_EQ(file.GetString("inner.ctl:\\Color"), "red");
    file.SetString("inner.ctl:\\Color", "blue");
    file.Save();
  }
  EXPECT_EQ(folder.Read("outer.ctl"), "$Include inner.ctl\r\nSize    3\r\n");
  EXPECT_EQ(folder.Read("inner.ctl"), "Color           \"blue\"\r\n");

  folder.Write("bad.ctl", "$Include missing.ctl\n");
  std::string message = FailureOf([&] { TControlFile file(folder.File("bad.ctl"), ""); });
  EXPECT_NE(message.find("CTL2: Can't load control file: " + folder.File("bad.ctl")),
            std::string::npos);
  EXPECT_NE(message.find("CTL2: Can't load control file: " + folder.File("missing.ctl")),
            std::string::npos)
      << message;
}

TEST(TextForm, AFailedLoadLeavesNothingLoaded) {
  TTempFolder folder;
  std::string path = folder.Write("damaged.ctl", "Kept 1\nHuge 1" + std::string(400, '0') + "\n");
  folder.Write("cycle.ctl", "$Include damaged.ctl\n");
  std::string cycle =
      folder.Write("self.ctl", "$Include self.ctl\nA 1\nB 1" + std::string(400, '0') + "\n");
  FailureOf([&] { TControlFile file(path, ""); });
  FailureOf([&] { TControlFile file(folder.File("cycle.ctl"), ""); });
  FailureOf([&] { TControlFile file(cycle, ""); });
  EXPECT_EQ(ControlFiles2::FindKey("DAMAGED.CTL:\\KEPT"), nullptr);
  EXPECT_EQ(ControlFiles2::FindKey("SELF.CTL:\\A"), nullptr);
  // Loading again reads the file anew instead of taking the half-read one.
  folder.Write("damaged.ctl", "Kept 2\n");
  TControlFile file(path, "");
  EXPECT_EQ(file.GetString("Kept"), "2");
}

TEST(TextForm, SavesIncludeCyclesOnce) {
  TTempFolder folder;
  std::string self = folder.Write("self.ctl", "$Include self.ctl\nK \"1\"\n");
  folder.Write("ping.ctl", "$Include pong.ctl\nP 1\n");
  folder.Write("pong.ctl", "$Include ping.ctl\nQ \"2\"\n");
  TControlFile selfFile(self, "");
  selfFile.SetString("K", "2");
  selfFile.Save();
  EXPECT_EQ(folder.Read("self.ctl"), "$Include self.ctl\r\nK       \"2\"\r\n");

  TControlFile ping(folder.File("ping.ctl"), "");
  ping.SetString("pong.ctl:\\Q", "3");
  ping.Save();
  EXPECT_EQ(folder.Read("ping.ctl"), "$Include pong.ctl\r\nP       1\r\n");
  EXPECT_EQ(folder.Read("pong.ctl"), "$Include ping.ctl\r\nQ       \"3\"\r\n");
}

TEST(TextForm, KeepsDuplicateKeysAndFindsTheLater) {
  TTempFolder folder;
  {
    TControlFile file(folder.Write("twice.ctl", "A \"first\"\na \"second\"\n"), "");
    EXPECT_EQ(file.GetString("A"), "second");
    file.SetString("A", "third");
    file.Save();
  }
  EXPECT_EQ(folder.Read("twice.ctl"), "A       \"first\"\r\na       \"third\"\r\n");
}
