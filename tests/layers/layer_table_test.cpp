// The layer table: start-up layers, creation rules and their messages, windows from a colour
// or a picture, levels, showing and hiding.
#include <gtest/gtest.h>

#include "common/golden.h"
#include "host/errors.h"
#include "layers_fixture.h"
#include "present/sprites.h"

namespace {

using LayerTable = Layers;

TEST_F(LayerTable, StartUp_DefIsCurrentAndShownSystemIsHiddenAboveIt) {
  EXPECT_EQ(currentTextLayer(), findTextLayer("def"));
  EXPECT_TRUE(isTextLayerShown("def"));
  EXPECT_FALSE(isTextLayerShown("system"));
  EXPECT_EQ(gTextLayers[findTextLayer("system")].level, 81);
  EXPECT_EQ(getSpriteLevel(textLayerSlots(findTextLayer("system")).text), 81);
  // The highlight exists from start-up, hidden.
  EXPECT_TRUE(isSpriteValid(kChoiceHighlightSlot));
  EXPECT_FALSE(isSpriteShown(kChoiceHighlightSlot));
}

TEST_F(LayerTable, Create_SixthLayerFails) {
  createTextLayer("sub");
  createTextLayer("a");
  createTextLayer("b");
  EXPECT_THROW(createTextLayer("c"), DExceptGame);
  EXPECT_NE(lastMessage().find("これ以上テキストレイヤーを作成できません"), std::string::npos)
      << lastMessage();
}

TEST_F(LayerTable, Create_NameDiffersOnlyInCaseIsADuplicate) {
  EXPECT_THROW(createTextLayer("DEF"), DExceptGame);
  EXPECT_NE(lastMessage().find("テキストレイヤー \"DEF\" は既に存在します。"), std::string::npos)
      << lastMessage();
  EXPECT_EQ(findTextLayer("Def"), findTextLayer("def"));
}

TEST_F(LayerTable, Create_EmptyNameIsRefused) {
  EXPECT_THROW(createTextLayer(""), DExceptGame);
  EXPECT_NE(lastMessage().find("テキストレイヤー名が指定されていません。"), std::string::npos);
}

TEST_F(LayerTable, Create_DoubleByteNamesCompareExactly) {
  // ア is 0x83 0x41: its trail byte reads as 'A' but is never folded, so the name with the
  // trail byte 0x61 is another layer.
  createTextLayer(sjis("ア").c_str());
  createTextLayer("\x83\x61");
  EXPECT_EQ(findTextLayer(sjis("ア").c_str()), 2);
  EXPECT_EQ(findTextLayer("\x83\x61"), 3);
}

TEST_F(LayerTable, Create_LongNameIsKeptTo255BytesAndFoundAgain) {
  const std::string name(300, 'n');
  createTextLayer(name.c_str());
  EXPECT_EQ(std::string(gTextLayers[2].name), name.substr(0, 255));
  EXPECT_EQ(findTextLayer(name.c_str()), 2);
  EXPECT_THROW(createTextLayer((name + "x").c_str()), DExceptGame);  // the same once cut
}

TEST_F(LayerTable, Find_UnknownNameEndsTheGameAndEmptyMeansCurrent) {
  EXPECT_THROW(findTextLayer("nowhere"), DExceptGame);
  EXPECT_NE(lastMessage().find("テキストレイヤー \"nowhere\" は存在しません。"), std::string::npos);
  selectTextLayer("system");
  EXPECT_EQ(findTextLayer(""), findTextLayer("system"));
  selectTextLayer("");
  EXPECT_EQ(currentTextLayer(), findTextLayer("def"));
}

TEST_F(LayerTable, Window_ColourWindowWithoutSizeCoversTheScreen) {
  const TextLayer& def = gTextLayers[findTextLayer("def")];
  EXPECT_EQ(def.width, 800);
  EXPECT_EQ(def.height, 600);
  setTextLayerWindow("def", "", "#00000080", 10, 400, 780, 180);
  EXPECT_EQ(def.width, 780);
  EXPECT_EQ(def.height, 180);
  EXPECT_EQ(gSprites[textLayerSlots(0).window].absX, 10);
  EXPECT_EQ(gSprites[textLayerSlots(0).text].absY, 400);
  // The shadow sprite sits at the shadow offset of the default font.
  EXPECT_EQ(gSprites[textLayerSlots(0).shadow].absX, 12);
  EXPECT_EQ(gSprites[textLayerSlots(0).shadow].absY, 403);
  // A shown layer stays shown through the rebuild.
  EXPECT_TRUE(isTextLayerShown("def"));
}

TEST_F(LayerTable, Window_PictureWithExplicitSizeIsScaledButSurfacesKeepItsSize) {
  std::vector<uint32_t> picture(200 * 50, 0xFF336699u);
  ASSERT_TRUE(savePng(picture, 200, 50, gameDir() + "/layerwin.png"));
  writeGameFile("layerwin.spr", "@sprite file=\"layerwin.png\"\n");
  setTextLayerWindow("def", "layerwin", "", 0, 400, 800, 200);
  const TextLayer& def = gTextLayers[findTextLayer("def")];
  EXPECT_EQ(def.width, 200);
  EXPECT_EQ(def.height, 50);
  EXPECT_EQ(gSprites[textLayerSlots(0).window].width, 800);
  EXPECT_EQ(gSprites[textLayerSlots(0).window].height, 200);
  EXPECT_EQ(gSprites[textLayerSlots(0).text].width, 200);
  // Without a size the window keeps the picture's own.
  setTextLayerWindow("def", "layerwin", "", 0, 0, 0, 0);
  EXPECT_EQ(gSprites[textLayerSlots(0).window].width, 200);
  EXPECT_EQ(gSprites[textLayerSlots(0).window].height, 50);
}

TEST_F(LayerTable, Level_AddsEightyToTheThreeSprites) {
  setTextLayerLevel("def", 5);
  for (int slot : {textLayerSlots(0).window, textLayerSlots(0).text, textLayerSlots(0).shadow})
    EXPECT_EQ(getSpriteLevel(slot), 85);
}

TEST_F(LayerTable, ShowHide_ShadowFollowsTheShadowFlag) {
  hideTextLayer("def");
  EXPECT_FALSE(isTextLayerShown("def"));
  EXPECT_FALSE(isSpriteShown(textLayerSlots(0).text));
  showTextLayer("def");
  EXPECT_TRUE(isSpriteShown(textLayerSlots(0).shadow));
  TextLayerFont flat = defaultTextLayerFont();
  flat.shadowOn = false;
  setTextLayerFont("def", flat);
  EXPECT_TRUE(isSpriteShown(textLayerSlots(0).text));
  EXPECT_FALSE(isSpriteShown(textLayerSlots(0).shadow));
}

TEST_F(LayerTable, Font_UnknownFaceEndsTheGameWithItsName) {
  TextLayerFont font = defaultTextLayerFont();
  font.face = "NoSuchFaceAnywhere";
  EXPECT_THROW(setTextLayerFont("def", font), DExceptGame);
  EXPECT_NE(lastMessage().find("NoSuchFaceAnywhere"), std::string::npos) << lastMessage();
}

TEST_F(LayerTable, Destroy_FreesEveryLayerAndTheHighlight) {
  createTextLayer("sub");
  destroyTextLayers();
  for (int i = 0; i < kTextLayerCount; ++i) EXPECT_EQ(gTextLayers[i].name[0], '\0');
  for (int slot = 4; slot <= 19; ++slot) EXPECT_FALSE(isSpriteValid(slot)) << slot;
  initTextLayers();  // the fixture's tear-down destroys again
}

}  // namespace
