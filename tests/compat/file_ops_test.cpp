// Whole-file operations: a copy keeps the bytes and the permissions and honours "fail if it
// exists"; a move replaces the target only when asked to; names are found without ASCII case.
#include <gtest/gtest.h>

#include "compat/temp_folder.h"
#include "windows.h"

#include <sys/stat.h>

namespace {

mode_t modeOf(const std::string& path) {
  struct stat st {};
  stat(path.c_str(), &st);
  return st.st_mode & 07777;
}

TEST(FileOps, CopyKeepsBytesAndPermissionsAndMayRefuseToOverwrite) {
  TempFolder dir;
  dir.write("a.sav", std::string("one\r\n\0two", 10));
  chmod((dir / "a.sav").c_str(), 0640);
  ASSERT_TRUE(CopyFileA((dir / "A.SAV").c_str(), (dir / "b.sav").c_str(), FALSE));
  EXPECT_EQ(dir.read("b.sav"), std::string("one\r\n\0two", 10));
  EXPECT_EQ(modeOf(dir / "b.sav"), 0640u);

  dir.write("c.sav", "longer than the copy that replaces it");
  EXPECT_FALSE(CopyFileA((dir / "a.sav").c_str(), (dir / "c.sav").c_str(), TRUE));
  EXPECT_EQ(dir.read("c.sav"), "longer than the copy that replaces it");
  EXPECT_TRUE(CopyFileA((dir / "a.sav").c_str(), (dir / "c.sav").c_str(), FALSE));
  EXPECT_EQ(dir.read("c.sav"), std::string("one\r\n\0two", 10));

  EXPECT_FALSE(CopyFileA((dir / "missing").c_str(), (dir / "d.sav").c_str(), FALSE));
  EXPECT_FALSE(dir.exists("d.sav"));
  EXPECT_FALSE(CopyFileA(dir.path().c_str(), (dir / "d.sav").c_str(), FALSE));  // a folder
  // A pipe is refused at once, not waited on for a writer.
  ASSERT_EQ(mkfifo((dir / "pipe.sav").c_str(), 0644), 0);
  EXPECT_FALSE(CopyFileA((dir / "pipe.sav").c_str(), (dir / "d.sav").c_str(), FALSE));
  EXPECT_FALSE(dir.exists("d.sav"));
}

TEST(FileOps, MoveReplacesOnlyWhenAskedAndDeleteRemoves) {
  TempFolder dir;
  dir.write("new", "new");
  dir.write("old", "old");
  EXPECT_FALSE(MoveFileExA((dir / "new").c_str(), (dir / "old").c_str(), 0));
  EXPECT_EQ(dir.read("old"), "old");
  EXPECT_TRUE(dir.exists("new"));
  EXPECT_TRUE(MoveFileExA((dir / "NEW").c_str(), (dir / "old").c_str(),
                          MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH));
  EXPECT_EQ(dir.read("old"), "new");
  EXPECT_FALSE(dir.exists("new"));
  EXPECT_TRUE(MoveFileExA((dir / "old").c_str(), (dir / "moved").c_str(), 0));
  EXPECT_EQ(dir.read("moved"), "new");
  // Moving to another volume by copying is not provided, and says so.
  EXPECT_FALSE(MoveFileExA((dir / "moved").c_str(), (dir / "x").c_str(), 0x2));
  EXPECT_FALSE(MoveFileExA((dir / "missing").c_str(), (dir / "x").c_str(), MOVEFILE_REPLACE_EXISTING));

  EXPECT_TRUE(DeleteFileA((dir / "MOVED").c_str()));
  EXPECT_EQ(dir.entryCount(), 0u);
  EXPECT_FALSE(DeleteFileA((dir / "moved").c_str()));
}

}  // namespace
