// Shift-JIS conversions at the filesystem boundary, and finding on-disk names the way
// Windows does: without ASCII case, with `\` as a separator.
#include <gtest/gtest.h>

#include "compat/temp_folder.h"
#include "wincompat.h"

#include <cstring>
#include <string>

namespace {

std::string toUtf8(const std::string& sjis, size_t size = 256) {
  std::string out(size, '\x7f');
  int length = compatSjisToUtf8(sjis.c_str(), out.data(), size);
  return length < 0 ? "<error>" : out.substr(0, static_cast<size_t>(length));
}

std::string toSjis(const std::string& utf8, size_t size = 256) {
  std::string out(size, '\x7f');
  int length = compatUtf8ToSjis(utf8.c_str(), out.data(), size);
  return length < 0 ? "<error>" : out.substr(0, static_cast<size_t>(length));
}

std::string resolve(const std::string& path) {
  char out[4096];
  int length = compatResolvePath(path.c_str(), out, sizeof out);
  return length < 0 ? "<error>" : std::string(out, static_cast<size_t>(length));
}

TEST(ShiftJis, RoundTripsKanaKanjiAndTrailBackslash) {
  const std::string sjis = "scn/\x95\x5c\x8e\xa6 \x83\x5c\x83\x74\x83\x67 \x82\x60 abc";
  const std::string utf8 = "scn/\xe8\xa1\xa8\xe7\xa4\xba \xe3\x82\xbd\xe3\x83\x95\xe3\x83\x88 \xef\xbc\xa1 abc";
  EXPECT_EQ(toUtf8(sjis), utf8);
  EXPECT_EQ(toSjis(utf8), sjis);
  EXPECT_EQ(toSjis(toUtf8("\x81\x40\x81\x60")), "\x81\x40\x81\x60");  // full-width space, wave dash
}

TEST(ShiftJis, AsciiIsTheSameBytesAloneAndBesideOtherCharacters) {
  // Text all in ASCII is copied as it is; beside a kana it goes through the converter, which
  // must give the same bytes (the backslash and the tilde are no yen sign or overline).
  for (int c = 1; c < 0x80; ++c) {
    const std::string ascii(1, static_cast<char>(c));
    EXPECT_EQ(toUtf8(ascii), ascii) << c;
    EXPECT_EQ(toSjis(ascii), ascii) << c;
    EXPECT_EQ(toUtf8("\x82\xa0" + ascii), "\xe3\x81\x82" + ascii) << c;
    EXPECT_EQ(toSjis("\xe3\x81\x82" + ascii), "\x82\xa0" + ascii) << c;
  }
}

TEST(ShiftJis, InvalidInputIsAnErrorWithEmptyOutput) {
  char out[16] = "unchanged";
  EXPECT_EQ(compatSjisToUtf8("a\x81", out, sizeof out), -1);  // lead byte without trail
  EXPECT_EQ(out[0], '\0');
  std::strcpy(out, "unchanged");
  EXPECT_EQ(compatUtf8ToSjis("\xf0\x9f\x98\x80", out, sizeof out), -1);  // no Shift-JIS form
  EXPECT_EQ(out[0], '\0');
  EXPECT_EQ(compatUtf8ToSjis("\xff", out, sizeof out), -1);
  EXPECT_EQ(compatSjisToUtf8(nullptr, out, sizeof out), -1);
}

TEST(ShiftJis, OutputTooSmallIsAnErrorNeverAnOverrun) {
  char out[8];
  std::memset(out, 'x', sizeof out);
  EXPECT_EQ(compatSjisToUtf8("\x95\x5c\x95\x5c", out, 6), -1);  // needs 6 bytes and a zero
  EXPECT_EQ(out[0], '\0');
  EXPECT_EQ(out[6], 'x');
  EXPECT_EQ(compatSjisToUtf8("\x95\x5c\x95\x5c", out, 7), 6);
  EXPECT_EQ(compatSjisToUtf8("", out, 1), 0);
  EXPECT_EQ(compatSjisToUtf8("a", out, 0), -1);
}

TEST(ResolvePath, ComponentsFoundWithoutAsciiCase) {
  TempFolder dir;
  std::filesystem::create_directories(dir / "Scn/Menu1");
  dir.write("Scn/Menu1/Start.SCN", "");
  EXPECT_EQ(resolve(dir.path() + "/scn/MENU1/start.scn"), dir / "Scn/Menu1/Start.SCN");
  EXPECT_EQ(resolve(dir.path() + "\\SCN\\menu1\\START.scn"), dir / "Scn/Menu1/Start.SCN");
  EXPECT_EQ(resolve(dir.path() + "//scn///menu1/"), dir / "Scn/Menu1/");
  // On disk as written: the same separators and slashes are mended.
  EXPECT_EQ(resolve(dir.path() + "\\Scn//Menu1\\Start.SCN"), dir / "Scn/Menu1/Start.SCN");
  EXPECT_EQ(resolve(dir.path() + "/Scn/Menu1//"), dir / "Scn/Menu1/");
}

TEST(ResolvePath, ExactNameWinsOverCaseVariant) {
  TempFolder dir;
  dir.write("data.txt", "");
  dir.write("DATA.txt", "");
  dir.write("Data.TXT", "");
  EXPECT_EQ(resolve(dir / "DATA.txt"), dir / "DATA.txt");
  EXPECT_EQ(resolve(dir / "data.txt"), dir / "data.txt");
  // No exact match: the choice among variants does not depend on directory order.
  EXPECT_EQ(resolve(dir / "daTa.txt"), dir / "DATA.txt");
}

TEST(ResolvePath, MissingComponentsAreKeptAsWritten) {
  TempFolder dir;
  std::filesystem::create_directory(dir / "Save");
  EXPECT_EQ(resolve(dir.path() + "/save/New.Sav"), dir / "Save/New.Sav");
  EXPECT_EQ(resolve(dir.path() + "/nothing/save"), dir / "nothing/save");
}

TEST(ResolvePath, NonAsciiNamesCompareExactly) {
  TempFolder dir;
  dir.write("\xe8\xa1\xa8" "A.txt", "");
  EXPECT_EQ(resolve(dir / "\xe8\xa1\xa8" "a.TXT"), dir / "\xe8\xa1\xa8" "A.txt");
}

TEST(ResolvePath, RelativePathsAndDotComponents) {
  TempFolder dir;
  std::filesystem::create_directories(dir / "Game/Sys");
  std::filesystem::path previous = std::filesystem::current_path();
  std::filesystem::current_path(dir.path());
  EXPECT_EQ(resolve("game/sys"), "Game/Sys");
  EXPECT_EQ(resolve("./game/../GAME/sys"), "./Game/../Game/Sys");
  std::filesystem::current_path(previous);
}

TEST(ResolvePath, TooSmallBufferIsAnError) {
  char out[4];
  EXPECT_EQ(compatResolvePath("/abcdef", out, sizeof out), -1);
  EXPECT_EQ(out[0], '\0');
  EXPECT_EQ(compatResolvePath("/", out, sizeof out), 1);
  EXPECT_STREQ(out, "/");
}

}  // namespace
