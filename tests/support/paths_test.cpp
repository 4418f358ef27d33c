// Joining and splitting Shift-JIS paths: separators, drives, extensions, the 263-byte cut,
// and two-byte characters whose trail byte is the backslash byte.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "support/support.h"

namespace {

#define SO "\x83\x5C"    // katakana so: trail byte 0x5C
#define HYOU "\x95\x5C"  // kanji: trail byte 0x5C

std::string join(const char* folder, const char* name, const char* extension) {
  PathBuffer out;
  std::memset(out, 'Z', sizeof out);
  joinPath(out, folder, name, extension);
  return out;
}

// No two-byte character is split at the end of the text.
bool endsOnCharacterBoundary(const char* text) {
  std::size_t at = 0;
  std::size_t length = std::strlen(text);
  while (at < length) at += isLeadByte(static_cast<unsigned char>(text[at])) ? 2 : 1;
  return at == length;
}

TEST(JoinPath, FolderNameAndExtension) {
  EXPECT_EQ(join("bgm", "x.ogg", nullptr), "bgm/x.ogg");
  EXPECT_EQ(join(nullptr, "click", "wav"), "click.wav");
  EXPECT_EQ(join("", "click", ""), "click");
  EXPECT_EQ(join("sys/se", "click", "wav"), "sys/se/click.wav");
}

TEST(JoinPath, NoSecondSeparator) {
  EXPECT_EQ(join("a/", "b", nullptr), "a/b");
  EXPECT_EQ(join("a\\", "b", nullptr), "a/b");
}

TEST(JoinPath, BackslashesBecomeSlashes) {
  EXPECT_EQ(join(nullptr, "scn\\menu1\\start", ""), "scn/menu1/start");
  EXPECT_EQ(join("a\\b", "c\\d", "e"), "a/b/c/d.e");
}

TEST(JoinPath, TrailByteBackslashIsNeitherSeparatorNorConverted) {
  // A folder ending in a character whose trail byte is 0x5C still needs its slash.
  EXPECT_EQ(join("dir" SO, "b", "txt"), "dir" SO "/b.txt");
  EXPECT_EQ(join("a", HYOU "\\" SO, nullptr), "a/" HYOU "/" SO);
}

TEST(JoinPath, EmptyFolderAndExtensionGiveTheNameAlone) {
  EXPECT_EQ(join(nullptr, nullptr, nullptr), "");
  EXPECT_EQ(join("", "name", nullptr), "name");
}

TEST(JoinPath, OutputMayBeTheFolder) {
  PathBuffer buffer = "sys";
  joinPath(buffer, buffer, "logo", "png");
  EXPECT_STREQ(buffer, "sys/logo.png");
}

TEST(JoinPath, CutTo263BytesAtACharacterBoundary) {
  std::string longFolder(300, 'f');
  std::string joined = join(longFolder.c_str(), "name", "ext");
  EXPECT_EQ(joined, std::string(263, 'f'));

  // 261 bytes of folder leave room for the slash and one byte of name.
  std::string folder(261, 'f');
  EXPECT_EQ(join(folder.c_str(), "name", "ext"), folder + "/n");

  // A two-byte character that would straddle the limit is left out whole.
  std::string odd(262, 'f');
  std::string name = std::string(SO) + "x";
  std::string cut = join(nullptr, (odd + name).c_str(), nullptr);
  EXPECT_EQ(cut, odd);
  EXPECT_TRUE(endsOnCharacterBoundary(cut.c_str()));
}

TEST(JoinPath, ExtensionNeedsRoomForTheDotAndOneByte) {
  std::string name(262, 'n');
  EXPECT_EQ(join(nullptr, name.c_str(), "png"), name);
  std::string shorter(261, 'n');
  EXPECT_EQ(join(nullptr, shorter.c_str(), "png"), shorter + ".p");
}

TEST(JoinPathWithDrive, DriveGoesInFrontOfTheFolder) {
  PathBuffer out;
  joinPathWithDrive(out, "C:", "\\games\\", "*", "spi");
  EXPECT_STREQ(out, "C:/games/*.spi");
  joinPathWithDrive(out, "", "/opt/game/", "plugin.spi", nullptr);
  EXPECT_STREQ(out, "/opt/game/plugin.spi");
  joinPathWithDrive(out, nullptr, nullptr, "x", "y");
  EXPECT_STREQ(out, "x.y");
}

TEST(SplitPath, FolderNameAndExtension) {
  PathParts parts = splitPath("scn\\menu1\\start.scn");
  EXPECT_STREQ(parts.folder, "scn/menu1/");
  EXPECT_STREQ(parts.name, "start");
  EXPECT_STREQ(parts.extension, "scn");
  EXPECT_STREQ(parts.drive, "");
}

TEST(SplitPath, ExtensionIsAfterTheLastDot) {
  PathParts parts = splitPath("x.tar.gz");
  EXPECT_STREQ(parts.folder, "");
  EXPECT_STREQ(parts.name, "x.tar");
  EXPECT_STREQ(parts.extension, "gz");
  PathParts plain = splitPath("dir.d/readme");
  EXPECT_STREQ(plain.folder, "dir.d/");
  EXPECT_STREQ(plain.name, "readme");
  EXPECT_STREQ(plain.extension, "");
}

TEST(SplitPath, BareFileNameKeepsAnEmptyFolder) {
  // An empty folder stays empty, so joining the parts again names the same relative file
  // rather than one at the root.
  PathParts parts = splitPath("click.wav");
  EXPECT_STREQ(parts.folder, "");
  PathBuffer again;
  joinPath(again, parts.folder, parts.name, parts.extension);
  EXPECT_STREQ(again, "click.wav");
}

TEST(SplitPath, TrailingSeparatorLeavesNoName) {
  PathParts parts = splitPath("a/b\\");
  EXPECT_STREQ(parts.folder, "a/b/");
  EXPECT_STREQ(parts.name, "");
  EXPECT_STREQ(parts.extension, "");
}

TEST(SplitPath, TrailByteBackslashIsNotASeparator) {
  PathParts parts = splitPath("scn\\" SO "\\" HYOU "x.scn");
  EXPECT_STREQ(parts.folder, "scn/" SO "/");
  EXPECT_STREQ(parts.name, HYOU "x");
  EXPECT_STREQ(parts.extension, "scn");
}

TEST(SplitPath, LongPathIsCutAndStaysTerminated) {
  std::string path = std::string(200, 'd') + "/" + std::string(200, 'n') + ".ext";
  PathParts parts = splitPath(path.c_str());
  EXPECT_EQ(std::string(parts.folder), std::string(200, 'd') + "/");
  EXPECT_EQ(std::string(parts.name), std::string(62, 'n'));  // 263 bytes of path in all
  EXPECT_STREQ(parts.extension, "");
}

TEST(SplitPath, NullPathGivesEmptyParts) {
  PathParts parts = splitPath(nullptr);
  EXPECT_STREQ(parts.folder, "");
  EXPECT_STREQ(parts.name, "");
  PathParts withDrive = splitPathWithDrive(nullptr);
  EXPECT_STREQ(withDrive.drive, "");
}

TEST(SplitPathWithDrive, DriveComesApart) {
  PathParts parts = splitPathWithDrive("C:\\games\\orvane.exe");
  EXPECT_STREQ(parts.drive, "C:");
  EXPECT_STREQ(parts.folder, "/games/");
  EXPECT_STREQ(parts.name, "orvane");
  EXPECT_STREQ(parts.extension, "exe");
  PathBuffer pattern;
  joinPathWithDrive(pattern, parts.drive, parts.folder, "*", "spi");
  EXPECT_STREQ(pattern, "C:/games/*.spi");
}

TEST(SplitPathWithDrive, NoDriveOnPosixPaths) {
  PathParts parts = splitPathWithDrive("/home/player/orvane");
  EXPECT_STREQ(parts.drive, "");
  EXPECT_STREQ(parts.folder, "/home/player/");
  EXPECT_STREQ(parts.name, "orvane");
}

TEST(SplitPathWithDrive, LeadByteBeforeAColonIsNoDrive) {
  PathParts parts = splitPathWithDrive("\x83:abc");
  EXPECT_STREQ(parts.drive, "");
  EXPECT_STREQ(parts.name, "\x83:abc");
  PathParts plain = splitPath("C:x.y");
  EXPECT_STREQ(plain.name, "C:x");  // without the drive rule the colon is ordinary
}

TEST(ToSlashes, ConvertsOnlyRealBackslashes) {
  char path[] = "a\\" SO "\\b" HYOU;
  toSlashes(path);
  EXPECT_STREQ(path, "a/" SO "/b" HYOU);
  char lone[] = "a\\\x83";  // a lead byte at the very end stands alone
  toSlashes(lone);
  EXPECT_STREQ(lone, "a/\x83");
  toSlashes(nullptr);
}

}  // namespace
