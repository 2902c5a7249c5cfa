#include "song/text_encoding.h"

#include <gtest/gtest.h>
#include <set>

using namespace songData;

namespace {

TEST(TextEncoding, CodePageNames) {
  struct {
    const char* Value;
    TCodePage Page;
  } cases[] = {
      {"CP1252", TCodePage::cpWindows1252},
      {" cp1252 ", TCodePage::cpWindows1252},
      {"Windows-1252", TCodePage::cpWindows1252},
      {"ISO-8859-1", TCodePage::cpLatin1},
      {"iso_8859_1", TCodePage::cpLatin1},
      {"Latin1", TCodePage::cpLatin1},
      {"UTF8", TCodePage::cpUtf8},
      {"utf-8", TCodePage::cpUtf8},
      {"", TCodePage::cpUtf8},
      {"CP1250", TCodePage::cpUnsupported},
      {"ISO-8859-15", TCodePage::cpUnsupported},
      {"AUTO", TCodePage::cpUnsupported},
  };
  for (auto c : cases)
    EXPECT_EQ(CodePageNamed(c.Value), c.Page) << c.Value;
}

TEST(TextEncoding, WellFormedUtf8Sequences) {
  struct {
    std::string Bytes;
    std::size_t Length;
  } cases[] = {
      {"a", 1},
      {"\xC3\xA9", 2},
      {"\xE2\x82\xAC", 3},
      {"\xF0\x9F\x8E\xA4", 4},
      {"\xF4\x8F\xBF\xBF", 4}, // U+10FFFF
      {"\xE9t", 0},            // a Windows-1252 letter
      {"\xE2\x82", 0},         // cut short by the end
      {"\x80", 0},             // continuation without a lead
      {"\xC0\xAF", 0},         // overlong
      {"\xE0\x80\xAF", 0},     // overlong
      {"\xF0\x8F\xBF\xBF", 0}, // overlong
      {"\xED\xA0\x80", 0},     // surrogate
      {"\xF4\x90\x80\x80", 0}, // beyond U+10FFFF
      {"\xF5\x80\x80\x80", 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Utf8SequenceLength(c.Bytes, 0), c.Length) << c.Bytes;
    EXPECT_EQ(IsValidUtf8(c.Bytes), c.Length == c.Bytes.size()) << c.Bytes;
  }
}

TEST(TextEncoding, EverySingleByteIsADistinctCharacter) {
  std::string all;
  for (int b = 0; b < 256; ++b)
    all += static_cast<char>(b);
  for (TCodePage page : {TCodePage::cpWindows1252, TCodePage::cpLatin1}) {
    std::set<std::string> characters;
    for (int b = 0; b < 256; ++b)
      characters.insert(SingleByteToUtf8(all.substr(b, 1), page));
    EXPECT_EQ(characters.size(), 256u); // nothing lost
    EXPECT_TRUE(IsValidUtf8(SingleByteToUtf8(all, page)));
  }
  EXPECT_EQ(SingleByteToUtf8("\x80\x81\x92\x9F\xE9", TCodePage::cpWindows1252),
            "\xE2\x82\xAC\xC2\x81\xE2\x80\x99\xC5\xB8\xC3\xA9");
  EXPECT_EQ(SingleByteToUtf8("\x80\x92\xE9", TCodePage::cpLatin1), "\xC2\x80\xC2\x92\xC3\xA9");
}

TEST(TextEncoding, RepairKeepsUtf8AndReadsTheRestAsWindows1252) {
  struct {
    std::string Bytes, Text;
  } cases[] = {
      {"plain", "plain"},
      {"\xC3\xA9t\xC3\xA9", "\xC3\xA9t\xC3\xA9"},
      {"Caf\xE9", "Caf\xC3\xA9"},
      {"\xC3\xA9 \xE9", "\xC3\xA9 \xC3\xA9"},
      {"\x93q\x94", "\xE2\x80\x9Cq\xE2\x80\x9D"},
      {"\xE2\x82", "\xC3\xA2\xE2\x80\x9A"}, // a cut sequence is two characters
  };
  for (const auto& c : cases)
    EXPECT_EQ(RepairedUtf8(c.Bytes), c.Text) << c.Bytes;
}

TEST(TextEncoding, Utf16OfBothByteOrders) {
  // "é", a microphone (a surrogate pair), a lone high surrogate, "a".
  const std::string le("\xE9\x00\x3C\xD8\xA4\xDF\x00\xD8\x61\x00", 10);
  std::string be;
  for (std::size_t i = 0; i < le.size(); i += 2)
    be += std::string{le[i + 1], le[i]};
  const std::string text = "\xC3\xA9\xF0\x9F\x8E\xA4\xEF\xBF\xBD"
                           "a";
  EXPECT_EQ(Utf16ToUtf8(le, false), text);
  EXPECT_EQ(Utf16ToUtf8(be, true), text);
  EXPECT_EQ(Utf16ToUtf8(std::string("a\0b", 3), false), "a\xEF\xBF\xBD"); // odd last byte
}

TEST(TextEncoding, CutsOnACharacterBoundary) {
  struct {
    std::string Text;
    std::size_t Limit, Length;
  } cases[] = {
      {"abc", 5, 3},
      {"abcdef", 3, 3},
      {"ab\xC3\xA9", 3, 2},
      {"ab\xC3\xA9", 4, 4},
      {"a\xF0\x9F\x8E\xA4", 4, 1},
      {"\xE2\x82\xAC", 2, 0},
  };
  for (const auto& c : cases)
    EXPECT_EQ(Utf8CutLength(c.Text, c.Limit), c.Length) << c.Text << " " << c.Limit;
}

} // namespace
