// The stage record against the recording host: which folder a court name comes from, when a
// background counts as shown, what a reset leaves, and place numbers no command can reach.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "court/court_scene.h"
#include "host/errors.h"
#include "host/host_fixture.h"
#include "script/scenario.h"
#include "script/syntax.h"

namespace {

class Stage : public BoundCore {
 protected:
  void SetUp() override {
    BoundCore::SetUp();
    CopyText("scn/case1", gScenarioFolder, sizeof gScenarioFolder);
    SetErrorFile("");
    resetCourtScene();
  }

  // The one message box the body's fatal report shows.
  std::string ErrorOf(void (*body)()) {
    std::size_t before = host->messages.size();
    EXPECT_THROW(body(), DExceptGame);
    EXPECT_EQ(host->messages.size(), before + 1);
    return host->messages.empty() ? std::string() : host->messages.back();
  }
};

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

}  // namespace

TEST_F(Stage, Name_ScenarioFolderOnlyWhenItHoldsTheDefinition) {
  PathBuffer path;
  resolveSpriteName(path, "witness");
  EXPECT_STREQ(path, "sys/witness");
  host->results["lbIsFileExist"] = 1;
  resolveSpriteName(path, "witness");
  EXPECT_STREQ(path, "scn/case1/witness");
  EXPECT_TRUE(Contains(host->calls.back(), "scn/case1/witness.spr"));
}

TEST_F(Stage, Back_ShownUnderEitherFolderButNeverForAnEmptyName) {
  CopyText("sys/bg_court_main", gCourtScene.backPath, sizeof gCourtScene.backPath);
  EXPECT_TRUE(isBackShown("bg_court_main"));
  EXPECT_FALSE(isBackShown("bg_court_mai"));
  EXPECT_FALSE(isBackShown("bg_court_main2"));
  CopyText("scn/case1/bg_court_main", gCourtScene.backPath, sizeof gCourtScene.backPath);
  EXPECT_TRUE(isBackShown("bg_court_main"));
  gCourtScene.backPath[0] = '\0';
  EXPECT_FALSE(isBackShown(""));
  EXPECT_FALSE(isBackShown(nullptr));
  EXPECT_TRUE(host->calls.empty());  // a plain comparison: no file is asked about
}

TEST_F(Stage, Reset_PlacesBackOnTheirSlotsWithNothingShown) {
  gCourtScene.places[2].x = 80;
  CopyText("sys/someone", gCourtScene.places[2].path, sizeof gCourtScene.places[2].path);
  CopyText("sys/rail", gCourtScene.frontPath, sizeof gCourtScene.frontPath);
  gCourtScene.backX = -928;
  resetCourtScene();
  const int slots[] = {27, 28, 29};  // left, centre over right over left
  const char* alignments[] = {"left bottom", "center bottom", "right bottom"};
  for (int i = 0; i < kCharaPlaceCount; ++i) {
    const CharaPlace& p = gCourtScene.places[i];
    EXPECT_EQ(CourtSpriteTable[p.courtEntry].slot, slots[i]);
    EXPECT_STREQ(p.alignmentText, alignments[i]);
    EXPECT_EQ(p.x, 0);
    EXPECT_EQ(p.path[0], '\0');
  }
  EXPECT_EQ(gCourtScene.places[2].alignment, kStyleRight | kStyleBottom);
  EXPECT_EQ(gCourtScene.frontPath[0], '\0');
  EXPECT_EQ(gCourtScene.backX, 0);
}

TEST_F(Stage, Chara_PlaceOutsideTheThreeIsRefusedByNumber) {
  EXPECT_TRUE(Contains(ErrorOf([] { showChara("someone", 3, 0, 0, true); }),
                       Sjis("キャラクラス番号 3 は不正")));
  EXPECT_TRUE(Contains(ErrorOf([] { hideChara(4, true); }), Sjis("キャラクラス番号 4 は不正")));
  EXPECT_TRUE(Contains(ErrorOf([] { placeChara(-1); }), Sjis("キャラクラス番号 -1 は不正")));
}

TEST_F(Stage, Chara_NoBackgroundToStandOnIsReportedAsSpriteMinus17) {
  EXPECT_TRUE(Contains(ErrorOf([] { placeChara(kCharaPlaceLeft); }),
                       Sjis("スプライト -17 は有効ではありません。")));
  EXPECT_TRUE(Contains(ErrorOf([] { panBack(-928, 500.0f); }),
                       Sjis("スプライト -17 は有効ではありません。")));
}
