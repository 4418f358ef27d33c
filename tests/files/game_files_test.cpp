// Game files: a real temporary game folder, a zip archive in front of it, Shift-JIS names
// looked up without ASCII case, and the text files core reads line by line.
#include "lb/host_api.h"
#include "runtime.h"
#include "wincompat.h"
#include "common/zip.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string sjis(const std::string& utf8) {
  char out[1024];
  EXPECT_GE(compatUtf8ToSjis(utf8.c_str(), out, sizeof out), 0) << utf8;
  return out;
}

std::string readAll(const std::string& sjisPath) {
  std::vector<uint8_t> bytes;
  if (!readGameFile(sjisPath.c_str(), bytes)) return "<missing>";
  return std::string(bytes.begin(), bytes.end());
}

class GameFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() /
            ("orvane-files-" + std::to_string(::getpid()) + "-" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root_);
    game_ = root_ / "game";
    fs::create_directories(game_);
    ASSERT_TRUE(mountGameFolder(game_.c_str()));
  }
  void TearDown() override { fs::remove_all(root_); }

  void write(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
  }

  // Builds a zip archive of the files under `tree` (relative names) with the zip command.
  void zipTree(const fs::path& tree, const fs::path& archive) {
    std::string command = "cd '" + tree.string() + "' && zip -q -r '" + archive.string() + "' .";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
  }

  fs::path root_, game_;
};

// ---- lookup ---------------------------------------------------------------------------

TEST_F(GameFiles, Read_FileInFolderIsServedWhole) {
  write(game_ / "sys" / "a.txt", std::string("one\0two", 7));
  EXPECT_EQ(readAll("sys/a.txt"), std::string("one\0two", 7));
  EXPECT_EQ(readAll("sys\\a.txt"), std::string("one\0two", 7));
  EXPECT_EQ(readAll("./sys//a.txt"), std::string("one\0two", 7));
}

TEST_F(GameFiles, Lookup_NameInOtherAsciiCaseStillOpens) {
  write(game_ / "Sys" / "Court" / "Bg.PNG", "png");
  EXPECT_TRUE(lbIsFileExist("sys/court/bg.png"));
  EXPECT_TRUE(lbIsFileExist("SYS\\COURT\\BG.png"));
  EXPECT_EQ(readAll("sYs/cOuRt/bG.pNg"), "png");
}

TEST_F(GameFiles, Lookup_ExactNameWinsOverCaseVariant) {
  write(game_ / "item.txt", "lower");
  write(game_ / "ITEM.txt", "upper");
  EXPECT_EQ(readAll("ITEM.txt"), "upper");
  EXPECT_EQ(readAll("item.txt"), "lower");
}

// A folder's listing is kept for names not found as written, and listed again once a file
// is added, removed or renamed in it.
TEST_F(GameFiles, Lookup_FolderChangedSinceItWasListedIsListedAgain) {
  write(game_ / "se" / "click.wav", "wav");
  const auto past = fs::last_write_time(game_ / "se") - std::chrono::seconds(10);
  fs::last_write_time(game_ / "se", past);  // listed long after its last change: kept
  EXPECT_TRUE(lbIsFileExist("se/CLICK.wav"));
  EXPECT_FALSE(lbIsFileExist("se/Objection.wav"));
  write(game_ / "se" / "objection.wav", "new");
  EXPECT_EQ(readAll("se/Objection.wav"), "new");
  fs::last_write_time(game_ / "se", past);
  EXPECT_TRUE(lbIsFileExist("se/OBJECTION.wav"));
  fs::rename(game_ / "se" / "objection.wav", game_ / "se" / "gone.wav");
  EXPECT_FALSE(lbIsFileExist("se/OBJECTION.wav"));
  EXPECT_TRUE(lbIsFileExist("se/Gone.wav"));
}

TEST_F(GameFiles, Lookup_FolderIsNotAFile) {
  fs::create_directories(game_ / "bgm");
  EXPECT_FALSE(lbIsFileExist("bgm"));
  EXPECT_EQ(lbCreateFile("bgm", 1), nullptr);
}

TEST_F(GameFiles, Lookup_MissingFileAndEmptyNameFail) {
  EXPECT_FALSE(lbIsFileExist("nothing.txt"));
  EXPECT_FALSE(lbIsFileExist(""));
  EXPECT_FALSE(lbIsFileExist(nullptr));
  EXPECT_EQ(lbCreateFile("nothing.txt", 1), nullptr);
}

TEST_F(GameFiles, Lookup_ShiftJisNamesMatchUtf8OnDisk) {
  write(game_ / "scn" / "第一話" / "開始.scn", "scn");
  EXPECT_TRUE(lbIsFileExist(sjis("scn/第一話/開始.scn").c_str()));
  EXPECT_TRUE(lbIsFileExist(sjis("SCN\\第一話\\開始.SCN").c_str()));
}

TEST_F(GameFiles, Lookup_TrailByteEqualToBackslashIsNotASeparator) {
  // "表" is 0x95 0x5C in Shift-JIS: its trail byte must not split the name.
  write(game_ / "表示" / "ソ.txt", "ok");  // "ソ" is 0x83 0x5C
  std::string name = sjis("表示\\ソ.txt");
  ASSERT_EQ(static_cast<unsigned char>(name[1]), 0x5C);
  EXPECT_EQ(readAll(name), "ok");
}

TEST_F(GameFiles, Lookup_PathsOutsideTheGameFolderAreRefused) {
  write(root_ / "secret.txt", "secret");
  write(game_ / "sub" / "x.txt", "x");
  EXPECT_FALSE(lbIsFileExist("../secret.txt"));
  EXPECT_FALSE(lbIsFileExist("..\\secret.txt"));
  EXPECT_FALSE(lbIsFileExist("sub/../../secret.txt"));
  EXPECT_FALSE(lbIsFileExist("sub/../x.txt"));
  EXPECT_FALSE(lbIsFileExist((root_ / "secret.txt").c_str()));
  EXPECT_FALSE(lbIsFileExist("C:\\secret.txt"));
  EXPECT_EQ(lbCreateFile("../secret.txt", 1), nullptr);
}

TEST_F(GameFiles, Lookup_LinksLeadingOutOfTheFolderAreNotFollowed) {
  write(root_ / "secret.txt", "secret");
  fs::create_symlink(root_ / "secret.txt", game_ / "link.txt");
  fs::create_directory_symlink(root_, game_ / "up");
  EXPECT_FALSE(lbIsFileExist("link.txt"));
  EXPECT_FALSE(lbIsFileExist("up/secret.txt"));
  EXPECT_FALSE(lbIsFileExist("UP/Secret.txt"));
}

TEST_F(GameFiles, Mount_FolderGivenThroughALinkIsRead) {
  write(game_ / "a.txt", "a");
  fs::create_directory_symlink(game_, root_ / "linked");
  ASSERT_TRUE(mountGameFolder((root_ / "linked").c_str()));
  EXPECT_EQ(readAll("a.txt"), "a");
}

TEST_F(GameFiles, Mount_RefusesMissingFolderAndPlainFile) {
  write(root_ / "plain.txt", "x");
  EXPECT_FALSE(mountGameFolder((root_ / "plain.txt").c_str()));
  EXPECT_FALSE(mountGameFolder((root_ / "absent").c_str()));
  EXPECT_FALSE(mountGameFolder(""));
}

TEST_F(GameFiles, Mount_NewFolderReplacesTheOldOne) {
  write(game_ / "a.txt", "a");
  fs::path other = root_ / "other";
  write(other / "b.txt", "b");
  ASSERT_TRUE(mountGameFolder(other.c_str()));
  EXPECT_FALSE(lbIsFileExist("a.txt"));
  EXPECT_TRUE(lbIsFileExist("b.txt"));
}

// ---- the data archive -------------------------------------------------------------------

TEST_F(GameFiles, Archive_ServesFilesNotOnDiskAndWinsOverDiskCopies) {
  fs::path tree = root_ / "tree";
  write(tree / "sys" / "only.txt", "from archive");
  write(tree / "sys" / "both.txt", "archive copy");
  write(tree / "第二話" / "開始.scn", "archived scenario");
  zipTree(tree, game_ / "derizi.dat");
  write(game_ / "sys" / "both.txt", "disk copy");
  write(game_ / "sys" / "disk.txt", "disk only");

  EXPECT_FALSE(lbIsFileExist("sys/only.txt"));
  ASSERT_TRUE(lbSetDataFile("derizi.dat"));
  EXPECT_EQ(readAll("sys/only.txt"), "from archive");
  EXPECT_EQ(readAll("SYS/Only.TXT"), "from archive");
  EXPECT_EQ(readAll("sys/both.txt"), "archive copy");
  EXPECT_EQ(readAll("sys/disk.txt"), "disk only");
  EXPECT_EQ(readAll(sjis("第二話\\開始.scn")), "archived scenario");
}

TEST_F(GameFiles, Archive_ShiftJisEntryNamesAreFound) {
  write(game_ / "derizi.dat",
        storedZip({{sjis("sys/se/異議あり.WAV"), "objection"}, {"sys/Logo.png", "logo"}}));
  ASSERT_TRUE(lbSetDataFile("derizi.dat"));
  EXPECT_EQ(readAll(sjis("sys\\se\\異議あり.wav")), "objection");
  EXPECT_EQ(readAll("SYS/logo.PNG"), "logo");
  EXPECT_FALSE(lbIsFileExist(sjis("sys/se/異議.wav").c_str()));
}

TEST_F(GameFiles, Archive_NameLookedUpWithoutCase) {
  fs::path tree = root_ / "tree";
  write(tree / "a.txt", "a");
  zipTree(tree, game_ / "Derizi.DAT");
  EXPECT_TRUE(lbSetDataFile("derizi.dat"));
  EXPECT_TRUE(lbIsFileExist("a.txt"));
}

TEST_F(GameFiles, Archive_MissingOrNotAnArchiveIsRefused) {
  EXPECT_FALSE(lbSetDataFile("derizi.dat"));
  write(game_ / "derizi.dat", "this is not an archive at all");
  EXPECT_FALSE(lbSetDataFile("derizi.dat"));
  EXPECT_FALSE(lbSetDataFile("../derizi.dat"));
}

TEST_F(GameFiles, Archive_RemountingTheFolderDropsTheArchive) {
  fs::path tree = root_ / "tree";
  write(tree / "only.txt", "x");
  zipTree(tree, game_ / "derizi.dat");
  ASSERT_TRUE(lbSetDataFile("derizi.dat"));
  ASSERT_TRUE(lbIsFileExist("only.txt"));
  ASSERT_TRUE(mountGameFolder(game_.c_str()));
  EXPECT_FALSE(lbIsFileExist("only.txt"));
}

// ---- reading lines ----------------------------------------------------------------------

std::vector<std::string> lines(const char* name) {
  std::vector<std::string> result;
  LbFile file = lbCreateFile(name, 1);
  EXPECT_NE(file, nullptr) << name;
  if (!file) return result;
  while (const char* line = lbReadFileLine(file)) result.emplace_back(line);
  EXPECT_EQ(lbReadFileLine(file), nullptr) << "the end stays the end";
  EXPECT_TRUE(lbDestroyFile(file));
  return result;
}

using Lines = std::vector<std::string>;

TEST_F(GameFiles, ReadLine_CrLfAndLfEndsAreRemoved) {
  write(game_ / "crlf.txt", "@goto a\r\n:a\r\n\r\nend\r\n");
  write(game_ / "lf.txt", "one\ntwo\n\nthree\n");
  EXPECT_EQ(lines("crlf.txt"), (Lines{"@goto a", ":a", "", "end"}));
  EXPECT_EQ(lines("lf.txt"), (Lines{"one", "two", "", "three"}));
}

TEST_F(GameFiles, ReadLine_LastLineWithoutLineEndIsReturned) {
  write(game_ / "last.txt", "first\r\nlast");
  EXPECT_EQ(lines("last.txt"), (Lines{"first", "last"}));
}

TEST_F(GameFiles, ReadLine_EmptyFileEndsAtOnce) {
  write(game_ / "empty.txt", "");
  EXPECT_EQ(lines("empty.txt"), Lines{});
}

TEST_F(GameFiles, ReadLine_ShiftJisTextIsPassedThroughUntouched) {
  std::string text = sjis("表示する\\n");  // trail bytes 0x5C stay as they are
  write(game_ / "sjis.txt", text + "\r\n");
  EXPECT_EQ(lines("sjis.txt"), Lines{text});
}

TEST_F(GameFiles, ReadLine_EachFileKeepsItsOwnPosition) {
  write(game_ / "a.txt", "a1\na2\n");
  write(game_ / "b.txt", "b1\nb2\n");
  LbFile a = lbCreateFile("a.txt", 1);
  LbFile b = lbCreateFile("b.txt", 1);
  ASSERT_TRUE(a && b);
  EXPECT_STREQ(lbReadFileLine(a), "a1");
  EXPECT_STREQ(lbReadFileLine(b), "b1");
  EXPECT_STREQ(lbReadFileLine(a), "a2");
  EXPECT_STREQ(lbReadFileLine(b), "b2");
  lbDestroyFile(a);
  lbDestroyFile(b);
}

TEST_F(GameFiles, CreateFile_OnlyReadingIsSupported) {
  write(game_ / "a.txt", "a");
  EXPECT_EQ(lbCreateFile("a.txt", 0), nullptr);
  EXPECT_EQ(lbCreateFile("a.txt", 2), nullptr);
  EXPECT_EQ(lbReadFileLine(nullptr), nullptr);
  EXPECT_FALSE(lbDestroyFile(nullptr));
}

// ---- merging paths ----------------------------------------------------------------------

std::string marge(const char* folder, const char* name, const char* extension) {
  char out[264];
  std::memset(out, 'X', sizeof out);
  EXPECT_TRUE(lbMargePath(out, folder, name, extension));
  return out;
}

TEST(MargePath, JoinsFolderNameAndExtension) {
  EXPECT_EQ(marge("sys", "logo", "png"), "sys/logo.png");
  EXPECT_EQ(marge(nullptr, "sys/logo", "png"), "sys/logo.png");
  EXPECT_EQ(marge("", "logo", "png"), "logo.png");
  EXPECT_EQ(marge("sys\\", "logo", ".png"), "sys\\logo.png");
  EXPECT_EQ(marge("sys/", "logo", ""), "sys/logo");
  EXPECT_EQ(marge(nullptr, "logo", nullptr), "logo");
}

TEST(MargePath, FolderEndingInTrailByte5CStillGetsASeparator) {
  std::string folder = sjis("表");  // 0x95 0x5C: looks like a backslash byte-wise
  EXPECT_EQ(marge(folder.c_str(), "a", "txt"), folder + "/a.txt");
}

TEST(MargePath, CutTo263BytesWithoutSplittingADoubleByteCharacter) {
  std::string name(262, 'a');
  name += sjis("あ");  // would end at byte 264
  std::string merged = marge(nullptr, name.c_str(), "png");
  EXPECT_EQ(merged, std::string(262, 'a'));
  std::string longName(400, 'b');
  EXPECT_EQ(marge("sys", longName.c_str(), "png").size(), 263u);
}

}  // namespace
