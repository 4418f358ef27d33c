// Directory scans: wildcards without ASCII case, folders flagged, Shift-JIS names, and a
// clean INVALID_HANDLE_VALUE when nothing is there.
#include <gtest/gtest.h>

#include "compat/temp_folder.h"
#include "windows.h"

#include <string>
#include <vector>

namespace {

struct Found {
  std::string name;
  DWORD attributes;
  DWORD size;
};

std::vector<Found> scan(const std::string& pattern) {
  std::vector<Found> found;
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA(pattern.c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return found;
  do {
    found.push_back({data.cFileName, data.dwFileAttributes, data.nFileSizeLow});
  } while (FindNextFileA(find, &data));
  EXPECT_TRUE(FindClose(find));
  return found;
}

std::vector<std::string> names(const std::vector<Found>& found) {
  std::vector<std::string> result;
  for (const Found& entry : found) result.push_back(entry.name);
  return result;
}

using Names = std::vector<std::string>;

TEST(FindFiles, StarMatchesExtensionWithoutCase) {
  TempFolder dir;
  dir.write("b.spi", "12345");
  dir.write("A.SPI", "");
  dir.write("c.spi.bak", "");
  dir.write("d.png", "");
  std::filesystem::create_directory(dir / "plug.spi");
  std::vector<Found> found = scan(dir / "*.spi");
  ASSERT_EQ(names(found), (Names{"A.SPI", "b.spi", "plug.spi"}));
  EXPECT_EQ(found[0].attributes, static_cast<DWORD>(FILE_ATTRIBUTE_NORMAL));
  EXPECT_EQ(found[1].size, 5u);
  EXPECT_EQ(found[2].attributes, static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
}

TEST(FindFiles, QuestionMarkMatchesExactlyOneCharacter) {
  TempFolder dir;
  dir.write("a1.txt", "");
  dir.write("a12.txt", "");
  dir.write("a.txt", "");
  dir.write("a\xe8\xa1\xa8.txt", "");  // a表.txt: one character of three UTF-8 bytes
  EXPECT_EQ(names(scan(dir / "A?.TXT")), (Names{"a1.txt", "a\x95\x5c.txt"}));
}

TEST(FindFiles, StarDotStarAndStarListEverythingButDotEntries) {
  TempFolder dir;
  dir.write("noext", "");
  dir.write("x.y", "");
  EXPECT_EQ(names(scan(dir / "*.*")), (Names{"noext", "x.y"}));
  EXPECT_EQ(names(scan(dir / "*")), (Names{"noext", "x.y"}));
  EXPECT_EQ(names(scan(dir / "*x*")), (Names{"noext", "x.y"}));
}

TEST(FindFiles, FolderPartIsShiftJisAndFoundWithoutCase) {
  TempFolder dir;
  std::filesystem::create_directories(dir / "Plug\xe8\xa1\xa8/Sub");
  dir.write("Plug\xe8\xa1\xa8/Sub/one.spi", "");
  EXPECT_EQ(names(scan(dir.path() + "/plug\x95\x5c/SUB/*.spi")), (Names{"one.spi"}));
  EXPECT_EQ(names(scan(dir.path() + "\\plug\x95\x5c\\sub\\ONE.SPI")), (Names{"one.spi"}));
}

TEST(FindFiles, NothingMatchingOrMissingFolderGivesInvalidHandle) {
  TempFolder dir;
  dir.write("a.txt", "");
  WIN32_FIND_DATAA data;
  EXPECT_EQ(FindFirstFileA((dir / "*.spi").c_str(), &data), INVALID_HANDLE_VALUE);
  EXPECT_EQ(FindFirstFileA((dir / "missing/*.spi").c_str(), &data), INVALID_HANDLE_VALUE);
  EXPECT_EQ(FindFirstFileA((dir.path() + "/").c_str(), &data), INVALID_HANDLE_VALUE);
  EXPECT_EQ(FindFirstFileA(nullptr, &data), INVALID_HANDLE_VALUE);
}

TEST(FindFiles, ClosedOrForeignHandlesAreRefused) {
  TempFolder dir;
  dir.write("a.txt", "");
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((dir / "*").c_str(), &data);
  ASSERT_NE(find, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(FindNextFileA(find, &data));
  EXPECT_FALSE(FindNextFileA(find, &data));
  EXPECT_TRUE(FindClose(find));
  EXPECT_FALSE(FindClose(find));
  EXPECT_FALSE(FindNextFileA(find, &data));
  EXPECT_FALSE(FindClose(INVALID_HANDLE_VALUE));
  int notAScan = 0;
  EXPECT_FALSE(FindNextFileA(&notAScan, &data));
}

}  // namespace
