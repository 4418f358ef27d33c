// A profile file that ends in a carriage return without its line feed: the last line reads
// the same before and after a write adds a line behind it, and the bytes already there stay.
#include <gtest/gtest.h>

#include "compat/temp_folder.h"
#include "windows.h"

#include <string>

TEST(ProfileLineEnd, ACarriageReturnEndingTheFileIsALineEnd) {
  TempFolder dir;
  const std::string path = dir / "game.sav";
  dir.write("game.sav", "[Debug]\nScnName=scn/a\n[extra]\r");
  char names[64];
  DWORD n = GetPrivateProfileStringA(nullptr, nullptr, "", names, sizeof names, path.c_str());
  EXPECT_EQ(std::string(names, n), std::string("Debug\0extra\0", 12));

  ASSERT_NE(WritePrivateProfileStringA("save", "pt_life", "3", path.c_str()), 0);
  n = GetPrivateProfileStringA(nullptr, nullptr, "", names, sizeof names, path.c_str());
  EXPECT_EQ(std::string(names, n), std::string("Debug\0extra\0save\0", 17));
  EXPECT_EQ(dir.read("game.sav"), "[Debug]\nScnName=scn/a\n[extra]\r\n[save]\npt_life=3\n");

  // A key written into that last section goes on a line of its own.
  dir.write("game.sav", "[save]\nclear=1\r");
  ASSERT_NE(WritePrivateProfileStringA("save", "pt_life", "4", path.c_str()), 0);
  EXPECT_EQ(GetPrivateProfileIntA("save", "clear", 0, path.c_str()), 1u);
  EXPECT_EQ(dir.read("game.sav"), "[save]\nclear=1\r\npt_life=4\n");
}
