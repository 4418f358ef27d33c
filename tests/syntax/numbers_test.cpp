// Numbers in scripts: decimal integers and floats, with no hexadecimal, read the same
// whatever the process locale says about the decimal point.
#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <clocale>
#include <cstdlib>
#include <string>

#include "script/syntax.h"

namespace {

TEST(ParseInt, DigitsUpToTheFirstOtherCharacter) {
  EXPECT_EQ(ParseInt("12abc"), 12);
  EXPECT_EQ(ParseInt("-7"), -7);
  EXPECT_EQ(ParseInt("+15"), 15);
  EXPECT_EQ(ParseInt("  \t42 43"), 42);
  EXPECT_EQ(ParseInt("\x81\x40" "5"), 5);  // full-width blank in front
}

TEST(ParseInt, NoHexadecimalAndNoDigitsGiveZero) {
  EXPECT_EQ(ParseInt("0x10"), 0);
  EXPECT_EQ(ParseInt("abc"), 0);
  EXPECT_EQ(ParseInt(""), 0);
  EXPECT_EQ(ParseInt("-"), 0);
  EXPECT_EQ(ParseInt("- 5"), 0);
  EXPECT_EQ(ParseInt(nullptr), 0);
}

TEST(ParseInt, OutOfRangeIsHeldAtTheEnds) {
  EXPECT_EQ(ParseInt("2147483647"), INT_MAX);
  EXPECT_EQ(ParseInt("-2147483648"), INT_MIN);
  EXPECT_EQ(ParseInt("2147483648"), INT_MAX);
  EXPECT_EQ(ParseInt("99999999999999999999999"), INT_MAX);
  EXPECT_EQ(ParseInt("-99999999999999999999999"), INT_MIN);
}

TEST(ParseFloat, DecimalForms) {
  EXPECT_FLOAT_EQ(ParseFloat("0.5"), 0.5f);
  EXPECT_FLOAT_EQ(ParseFloat("-1.25"), -1.25f);
  EXPECT_FLOAT_EQ(ParseFloat("+3"), 3.0f);
  EXPECT_FLOAT_EQ(ParseFloat(".5"), 0.5f);
  EXPECT_FLOAT_EQ(ParseFloat("2."), 2.0f);
  EXPECT_FLOAT_EQ(ParseFloat("1e3"), 1000.0f);
  EXPECT_FLOAT_EQ(ParseFloat("2.5E-1x"), 0.25f);
  EXPECT_FLOAT_EQ(ParseFloat("  7.5 8"), 7.5f);
  EXPECT_FLOAT_EQ(ParseFloat("4e"), 4.0f);  // an exponent without digits is not read
  EXPECT_FLOAT_EQ(ParseFloat("4e+"), 4.0f);
}

TEST(ParseFloat, NoNumberGivesZero) {
  EXPECT_EQ(ParseFloat(""), 0.0f);
  EXPECT_EQ(ParseFloat("abc"), 0.0f);
  EXPECT_EQ(ParseFloat("."), 0.0f);
  EXPECT_EQ(ParseFloat("-"), 0.0f);
  EXPECT_EQ(ParseFloat(nullptr), 0.0f);
  EXPECT_EQ(ParseFloat("0x1p3"), 0.0f);  // no hexadecimal
  EXPECT_EQ(ParseFloat("inf"), 0.0f);    // nor infinities that would poison positions
  EXPECT_EQ(ParseFloat("nan"), 0.0f);
}

TEST(ParseFloat, ReadsOnlyTheFirst32Bytes) {
  std::string text(31, '0');
  text += "12";  // the 1 is byte 32, the 2 is past it
  EXPECT_FLOAT_EQ(ParseFloat(text.c_str()), 1.0f);
}

TEST(ParseFloat, HugeAndTinyValuesStayFinite) {
  EXPECT_EQ(ParseFloat("1e300"), FLT_MAX);
  EXPECT_EQ(ParseFloat("-1e999"), -FLT_MAX);
  EXPECT_EQ(ParseFloat("1e-999"), 0.0f);
}

// Switches LC_NUMERIC to a locale whose decimal point is a comma, building one in a
// temporary folder when none is installed. False when neither works.
bool useDecimalCommaLocale() {
  for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8"})
    if (std::setlocale(LC_NUMERIC, name) != nullptr) return true;
  std::string folder = testing::TempDir() + "orvane_locale";
  std::string command = "mkdir -p '" + folder + "' && localedef -i de_DE -f UTF-8 '" + folder +
                        "/de_DE.UTF-8' >/dev/null 2>&1";
  if (std::system(command.c_str()) != 0) return false;
  setenv("LOCPATH", folder.c_str(), 1);
  return std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
}

TEST(ParseFloat, DecimalPointDoesNotFollowTheLocale) {
  const char* previous = std::setlocale(LC_NUMERIC, nullptr);
  std::string saved = previous != nullptr ? previous : "C";
  bool switched = useDecimalCommaLocale();
  float value = ParseFloat("1.5");
  std::setlocale(LC_NUMERIC, saved.c_str());
  unsetenv("LOCPATH");
  if (!switched) GTEST_SKIP() << "no locale with a decimal comma can be had";
  EXPECT_FLOAT_EQ(value, 1.5f);
}

}  // namespace
