// The definition file and the owned list: which files fill the table and which end the game
// with which message, the saved list written and read back, and the number check that every
// item command makes.
#include <windows.h>

#include <cstring>

#include "items/items_fixture.h"

namespace {

constexpr const char* kBadNumber3 = "アイテム番号 3 は不正"_sj;

TEST_F(ItemsTest, Definition_GapsCountUpToTheHighestNumberAndStayUndefined) {
  WriteItems("@item no=2 name=Knife comment=\"A kitchen knife\" image=ev_knife\n"
             "\n"
             "@item no=5 name=Ann comment=Witness image=pr_ann type=chara \n");
  Bind();
  ASSERT_FALSE(LoadFails());
  ASSERT_EQ(gItems.entries.size(), 6u);
  EXPECT_STREQ(gItems.entries[2].comment, "A kitchen knife");
  EXPECT_EQ(gItems.entries[2].isProfile, 0u);
  EXPECT_EQ(gItems.entries[5].isProfile, 1u);
  EXPECT_STREQ(gItems.entries[5].mag, "");  // mag may be left out
  for (int number : {0, 1, 3, 4, 6, -1}) {
    gErrorLine = 0;
    EXPECT_THROW(checkItem(number), DExceptGame) << number;
  }
  // Every command that names a number refuses a gap.
  for (const char* line : {"@itemShow 3", "@itemShow 3 right", "@itemMessage 3 before=a",
                           "@itemGetNoshow 3", "@itemLost 3"}) {
    messages.clear();
    EXPECT_TRUE(CommandFails(line)) << line;
    EXPECT_TRUE(LastMessageHas(kBadNumber3)) << line;
  }
}

TEST_F(ItemsTest, Definition_LoadingAgainEmptiesTheTable) {
  WriteItems("@item no=4 name=A comment=B image=C\n");
  Bind();
  ASSERT_FALSE(LoadFails());
  gainItem(4);
  WriteItems("@item no=1 name=A comment=B image=C\n");
  ASSERT_FALSE(LoadFails());
  EXPECT_EQ(gItems.entries.size(), 2u);
  EXPECT_EQ(gItems.entries[1].owned, 0);
}

TEST_F(ItemsTest, Definition_MissingFileLeavesTheTableEmpty) {
  Bind();
  gItems.entries.resize(3);
  EXPECT_FALSE(LoadFails());
  EXPECT_TRUE(gItems.entries.empty());
  EXPECT_TRUE(messages.empty());
}

struct BadFile {
  const char* text;
  const char* message;
};

TEST_F(ItemsTest, Definition_EveryRequiredFieldAndEveryBadWordIsRefused) {
  const std::string missing = "アイテム定義ファイルにおいてデータが不足しています"_sj;
  const BadFile cases[] = {
      {"@item name=A comment=B image=C\n", missing.c_str()},
      {"@item no=1 comment=B image=C\n", missing.c_str()},
      {"@item no=1 name=A image=C\n", missing.c_str()},
      {"@item no=1 name=A comment=B\n", missing.c_str()},
      {"@item no=-1 name=A comment=B image=C\n", missing.c_str()},
      // A number past the bound would grow the table without limit.
      {"@item no=10001 name=A comment=B image=C\n", missing.c_str()},
      {"@item no=1 name=A comment=B image=C type=evidence\n",
       "アイテム定義ファイルに不正なオプション\"type\"が存在します"_sj},
      {"@item no=1 name=A comment=B image=C colour=red\n",
       "アイテム定義ファイルに不正なオプション\"colour\"が存在します"_sj},
      {"@itemx no=1 name=A comment=B image=C\n",
       "アイテム定義ファイルに不正なコマンド \"@itemx\" が存在します。"_sj},
      {"@item no=7 name=A comment=B image=C\n@item no=7 name=D comment=E image=F\n",
       "アイテム番号 7 はすでに定義されている"_sj},
  };
  Bind();
  for (const BadFile& bad : cases) {
    WriteItems(bad.text);
    messages.clear();
    EXPECT_TRUE(LoadFails()) << bad.text;
    ASSERT_FALSE(messages.empty()) << bad.text;
    EXPECT_EQ(messages.back(), bad.message) << bad.text;
  }
  WriteItems("@item no=10000 name=A comment=B image=C\n");
  EXPECT_FALSE(LoadFails());
  EXPECT_EQ(gItems.entries.size(), 10001u);
}

// An empty number reads as 0 (no digits); only a number never given is missing.
TEST_F(ItemsTest, Definition_EmptyNumberIsItemZero) {
  Bind();
  for (const char* file : {"@item name=A comment=B image=C no=\n",
                           "@item no=\"\" name=A comment=B image=C\n"}) {
    WriteItems(file);
    ASSERT_FALSE(LoadFails()) << file;
    ASSERT_EQ(gItems.entries.size(), 1u) << file;
    EXPECT_STREQ(gItems.entries[0].name, "A") << file;
  }
  WriteItems("@item name=A comment=B image=C\n");
  EXPECT_TRUE(LoadFails());
  EXPECT_EQ(messages.back(), "アイテム定義ファイルにおいてデータが不足しています"_sj);
}

TEST_F(ItemsTest, Owned_SavedListIsAscendingWithOneBlankAfterEachNumber) {
  WriteItems("@item no=0 name=A comment=B image=C\n@item no=3 name=A comment=B image=C\n"
             "@item no=5 name=A comment=B image=C type=chara\n");
  Bind();
  ASSERT_FALSE(LoadFails());
  char out[1024];
  saveOwnedItems(out, sizeof out);
  EXPECT_STREQ(out, "");
  for (const char* line : {"@itemGetNoshow 5", "@itemGetNoshow 0", "@itemGetNoshow 3"})
    ASSERT_FALSE(CommandFails(line)) << line;
  saveOwnedItems(out, sizeof out);
  EXPECT_STREQ(out, "0 3 5 ");
  ASSERT_FALSE(CommandFails("@itemLost 3"));
  saveOwnedItems(out, sizeof out);
  EXPECT_STREQ(out, "0 5 ");
  // Too small a buffer keeps whole numbers only.
  char small[4];
  saveOwnedItems(small, sizeof small);
  EXPECT_STREQ(small, "0 ");
}

TEST_F(ItemsTest, Owned_RestoreReadsAnyRunOfBlanks) {
  WriteItems("@item no=1 name=A comment=B image=C\n@item no=2 name=A comment=B image=C\n"
             "@item no=3 name=A comment=B image=C\n");
  std::string progress = (dir / "progress.ini").string();
  Bind();
  WritePrivateProfileStringA("save", "pt_item", ("3  \t" + std::string("\x81\x40") + "1").c_str(),
                             progress.c_str());
  ASSERT_FALSE(LoadFails(true));
  EXPECT_EQ(gItems.entries[1].owned, 1);
  EXPECT_EQ(gItems.entries[2].owned, 0);
  EXPECT_EQ(gItems.entries[3].owned, 1);
  // Without restoring, nothing saved is owned.
  ASSERT_FALSE(LoadFails(false));
  EXPECT_EQ(gItems.entries[3].owned, 0);
}

TEST_F(ItemsTest, Owned_SavedNumberNoLongerDefinedIsRefused) {
  WriteItems("@item no=1 name=A comment=B image=C\n@item no=5 name=A comment=B image=C\n");
  std::string progress = (dir / "progress.ini").string();
  Bind();
  for (const char* saved : {"1 3 ", "1 9 "}) {
    WritePrivateProfileStringA("save", "pt_item", saved, progress.c_str());
    messages.clear();
    EXPECT_TRUE(LoadFails(true)) << saved;
    EXPECT_TRUE(LastMessageHas(saved[2] == '3' ? kBadNumber3 : "アイテム番号 9 は不正"_sj))
        << saved;
  }
}

TEST_F(ItemsTest, Commands_WithoutTheirNumberAreNotRecognised) {
  Bind();
  const std::string unrecognised = "コマンド@itemShowが認識できません。"_sj;
  EXPECT_TRUE(CommandFails("@itemShow"));
  EXPECT_TRUE(LastMessageHas(unrecognised));
  EXPECT_TRUE(CommandFails("@itemLost"));
  EXPECT_TRUE(LastMessageHas("コマンド@itemLostが認識できません。"_sj));
}

}  // namespace
