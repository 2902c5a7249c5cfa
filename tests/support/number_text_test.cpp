#include "support/number_text.h"
#include "support/runtime_errors.h"

#include <clocale>
#include <cmath>
#include <gtest/gtest.h>

using namespace MyServis;

TEST(Int32Text, AcceptsSignAndDigitsInRangeOnly) {
  std::int32_t v = 0;
  struct {
    const char* Text;
    bool Ok;
    std::int32_t Value;
  } cases[] = {{"0", true, 0},
               {"-12", true, -12},
               {"+7", true, 7},
               {"2147483647", true, 2147483647},
               {"-2147483648", true, INT32_MIN},
               {"2147483648", false, 0},
               {"-2147483649", false, 0},
               {"99999999999999999999", false, 0},
               {"", false, 0},
               {"-", false, 0},
               {" 1", false, 0},
               {"1 ", false, 0},
               {"0x10", false, 0},
               {"1e3", false, 0},
               {"0012", true, 12}};
  for (auto c : cases) {
    EXPECT_EQ(TryParseInt32(c.Text, v), c.Ok) << c.Text;
    if (c.Ok) {
      EXPECT_EQ(v, c.Value) << c.Text;
    }
  }
  try {
    ParseInt32("1a");
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "'1a' is not a valid integer value");
  }
}

TEST(FloatText, TheSeparatorDecides) {
  double v = 0;
  struct {
    const char* Text;
    char Separator;
    bool Ok;
    double Value;
  } cases[] = {
      {"300,5", ',', true, 300.5},   {"300.5", ',', false, 0},    {"300.5", '.', true, 300.5},
      {" -1,25 ", ',', true, -1.25}, {",5", ',', true, 0.5},      {"5,", ',', true, 5},
      {"1E3", ',', true, 1000},      {"2,5e-1", ',', true, 0.25}, {"1e", ',', false, 0},
      {",", ',', false, 0},          {"", ',', false, 0},         {"1,2,3", ',', false, 0},
      {"inf", '.', false, 0},        {"nan", '.', false, 0},      {"0x1p3", '.', false, 0},
      {"1e400", '.', false, 0},      {"12 3", ',', false, 0}};
  for (auto c : cases) {
    EXPECT_EQ(TryParseFloat(c.Text, c.Separator, v), c.Ok) << c.Text;
    if (c.Ok) {
      EXPECT_EQ(v, c.Value) << c.Text;
    }
  }
  // 400 digits: beyond the double range as a whole number, fine as a fraction.
  EXPECT_FALSE(TryParseFloat(std::string(400, '7'), '.', v));
  EXPECT_TRUE(TryParseFloat("0," + std::string(400, '7'), ',', v));
  EXPECT_DOUBLE_EQ(v, 7.0 / 9);
}

TEST(GeneralFormat, FixedWithSignificantDigits) {
  struct {
    double Value;
    int Digits;
    const char* Text;
  } cases[] = {{125, 5, "125"},
               {300.25, 5, "300,25"},
               {123.456, 5, "123,46"},
               {2.5, 6, "2,5"},
               {0, 6, "0"},
               {-0.0, 6, "0"},
               {-0.125, 6, "-0,125"},
               {0.0001234567, 6, "0,000123457"},
               {99999.5, 5, "100000"},
               {1e20, 5, "100000000000000000000"},
               {1.0 / 3, 6, "0,333333"}};
  for (auto c : cases)
    EXPECT_EQ(FormatGeneral(c.Value, c.Digits, ','), c.Text) << c.Value;
  EXPECT_EQ(FormatGeneral(1.5, 5, '.'), "1.5");
}

TEST(RoundedAndShortest, WholeNumbersAndRoundTrips) {
  EXPECT_EQ(FormatRounded(1234.5), "1234");
  EXPECT_EQ(FormatRounded(1235.5), "1236");
  EXPECT_EQ(FormatRounded(-0.4), "0");
  EXPECT_EQ(FormatRounded(1e22), "10000000000000000000000");
  for (double v : {0.1, 300.5, -1.5, 1e-300, 123.45f + 0.0, 5e22}) {
    std::string text = FormatShortest(v);
    EXPECT_EQ(std::stod(text), v) << text;
  }
  EXPECT_EQ(FormatShortest(300.5), "300.5");
  EXPECT_EQ(FormatShortest(125), "125");
}

TEST(NumberText, IgnoresTheProcessLocale) {
  // The window toolkit sets the locale from the environment at start-up.
  if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr) GTEST_SKIP() << "no German locale";
  std::string general = FormatGeneral(300.25, 5, '.');
  std::string rounded = FormatRounded(1234.5);
  double parsed = 0;
  bool ok = TryParseFloat("2.5", '.', parsed);
  std::setlocale(LC_NUMERIC, "C");
  EXPECT_EQ(general, "300.25");
  EXPECT_EQ(rounded, "1234");
  EXPECT_TRUE(ok);
  EXPECT_EQ(parsed, 2.5);
}
