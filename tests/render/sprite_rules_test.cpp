// The sprite rules the game relies on, checked pixel by pixel: position and map, the
// image's own offset, draw order, parents, pivots, blending, and what never reads outside
// an image.
#include "render_fixture.h"

#include <climits>
#include <limits>

namespace {

using SpriteRules = RenderTest;

constexpr uint32_t kBlack = argb(255, 0, 0, 0);
constexpr uint32_t kRed = argb(255, 255, 0, 0);
constexpr uint32_t kGreen = argb(255, 0, 255, 0);
constexpr uint32_t kBlue = argb(255, 0, 0, 255);

TEST_F(SpriteRules, Position_UnscaledSpriteCopiesItsPixelsExactly) {
  LbImage img = pattern(40, 24);
  sprite(img, 0, 123, 45);
  auto frame = render();
  for (int y = 0; y < 24; ++y)
    for (int x = 0; x < 40; ++x) ASSERT_EQ(at(frame, 123 + x, 45 + y), img->pixels[y * 40 + x]);
  EXPECT_EQ(at(frame, 122, 45), kBlack);
  EXPECT_EQ(at(frame, 163, 45), kBlack);
  EXPECT_EQ(at(frame, 123, 69), kBlack);
}

TEST_F(SpriteRules, Position_PartlyOffScreenSpriteIsClipped) {
  LbImage img = pattern(40, 40);
  sprite(img, 0, -8, 580);
  auto frame = render();
  EXPECT_EQ(at(frame, 0, 580), img->pixels[8]);
  EXPECT_EQ(at(frame, 31, 599), img->pixels[19 * 40 + 39]);
}

TEST_F(SpriteRules, Map_ShowsTheRectangleShiftedByTheImageOffset) {
  // A 4x2 grid of 10x10 cells, each a different colour; the offset picks cell (2, 1).
  LbImage grid = image(40, 20, [](int x, int y) { return argb(255, x / 10 * 60, y / 10 * 200, 7); });
  LbSprite s = sprite(grid, 0, 100, 100);
  lbtsSetSpriteMap(s, 0, 0, 10, 10);
  lbtsSetSpriteSize(s, 10, 10);
  lbtsSetImagePos(grid, 20, 10);
  auto frame = render();
  EXPECT_EQ(at(frame, 100, 100), argb(255, 120, 200, 7));
  EXPECT_EQ(at(frame, 109, 109), argb(255, 120, 200, 7));
  EXPECT_EQ(at(frame, 110, 100), kBlack);
}

TEST_F(SpriteRules, Map_ImageOffsetBelongsToTheImageSoEverySpriteShowingItMoves) {
  LbImage grid = image(20, 10, [](int x, int) { return x < 10 ? kRed : kBlue; });
  LbSprite a = sprite(grid, 0, 0, 0), b = sprite(grid, 0, 50, 0);
  for (LbSprite s : {a, b}) {
    lbtsSetSpriteMap(s, 0, 0, 10, 10);
    lbtsSetSpriteSize(s, 10, 10);
  }
  lbtsSetImagePos(grid, 10, 0);
  auto frame = render();
  EXPECT_EQ(at(frame, 5, 5), kBlue);
  EXPECT_EQ(at(frame, 55, 5), kBlue);
}

TEST_F(SpriteRules, Map_OutsideTheImageShowsNothingThere) {
  LbImage img = solid(10, 10, kRed);
  LbSprite s = sprite(img, 0, 100, 100);
  lbtsSetSpriteMap(s, 5, -5, 10, 10);  // only the lower-left quarter overlaps the image
  auto frame = render();
  EXPECT_EQ(at(frame, 100, 105), kRed);
  EXPECT_EQ(at(frame, 104, 109), kRed);
  EXPECT_EQ(at(frame, 105, 105), kBlack);
  EXPECT_EQ(at(frame, 100, 104), kBlack);
}

TEST_F(SpriteRules, Map_ScaledSpriteWithMapPartlyOutsideKeepsTheVisiblePartInPlace) {
  LbImage img = solid(10, 10, kGreen);
  LbSprite s = sprite(img, 0, 200, 200);
  lbtsSetSpriteMap(s, -10, 0, 20, 10);  // left half outside the image
  lbtsSetSpriteSize(s, 40, 20);         // doubled: the image lands on the right half
  auto frame = render();
  EXPECT_EQ(at(frame, 219, 210), kBlack);
  EXPECT_EQ(at(frame, 220, 200), kGreen);
  EXPECT_EQ(at(frame, 239, 219), kGreen);
  EXPECT_EQ(at(frame, 240, 210), kBlack);
}

TEST_F(SpriteRules, Map_ExtremeOffsetsAndMapsNeverReadOutsideTheImage) {
  LbImage img = solid(8, 8, kRed);
  LbSprite s = sprite(img, 0, 0, 0);
  lbtsSetImagePos(img, INT_MAX, INT_MIN);
  lbtsSetSpriteMap(s, INT_MAX, INT_MAX, INT_MAX, INT_MAX);
  lbtsSetSpriteSize(s, 100, 100);
  auto frame = render();
  EXPECT_EQ(at(frame, 0, 0), kBlack);
  lbtsSetImagePos(img, 0, 0);
  lbtsSetSpriteMap(s, INT_MIN, INT_MIN, INT_MAX, INT_MAX);
  lbtsSetSpritePos(s, INT_MAX, INT_MIN);
  frame = render();
  EXPECT_EQ(at(frame, 0, 0), kBlack);
}

TEST_F(SpriteRules, Scale_HugeSpriteStillShowsTheRightPartOfItsPicture) {
  LbImage img = image(2000, 1, [](int x, int) { return x < 1000 ? kRed : kBlue; });
  LbSprite s = sprite(img, 0, -99600, -50000);
  lbtsSetSpriteSize(s, 200000, 100000);  // 100 times: the seam falls at x = 400
  auto frame = render();
  EXPECT_EQ(at(frame, 100, 300), kRed);
  EXPECT_EQ(at(frame, 700, 300), kBlue);
  EXPECT_NE(at(frame, 400, 300), kBlack);
}

TEST_F(SpriteRules, Scale_WideImageSqueezedToOnePixelFarRightStillShows) {
  LbSprite s = sprite(solid(4096, 4, kGreen), 0, 790, 590);
  lbtsSetSpriteSize(s, 1, 1);
  EXPECT_EQ(at(render(), 790, 590), kGreen);
}

TEST_F(SpriteRules, Order_HigherLevelDrawsAboveWhateverTheCreationOrder) {
  LbImage red = solid(10, 10, kRed), blue = solid(10, 10, kBlue);
  sprite(red, 5, 0, 0);
  sprite(blue, 4, 0, 0);  // created later, but lower
  EXPECT_EQ(at(render(), 5, 5), kRed);
}

TEST_F(SpriteRules, Order_EqualLevelsDrawInCreationOrder) {
  LbImage red = solid(10, 10, kRed), blue = solid(10, 10, kBlue);
  LbSprite first = sprite(blue, 4, 0, 0);
  sprite(red, 4, 0, 0);
  EXPECT_EQ(at(render(), 5, 5), kRed);
  // An incoming sprite one level up (odd) draws above the one it replaces.
  lbtsSetSpriteLevel(first, 5);
  EXPECT_EQ(at(render(), 5, 5), kBlue);
  EXPECT_EQ(lbtsGetSpriteLevel(first), 5);
}

TEST_F(SpriteRules, Order_HiddenSpriteIsNotDrawn) {
  LbSprite s = sprite(solid(10, 10, kRed), 0, 0, 0);
  lbtsSetSpriteDraw(s, 0);
  EXPECT_EQ(lbtsIsSpriteDraw(s), 0);
  EXPECT_EQ(at(render(), 5, 5), kBlack);
  lbtsSetSpriteDraw(s, 1);
  EXPECT_EQ(at(render(), 5, 5), kRed);
}

TEST_F(SpriteRules, Parent_ChildPositionCountsFromTheParentAndFollowsItsMoves) {
  LbSprite parent = sprite(solid(50, 50, kBlue), 0, 100, 100);
  LbSprite child = sprite(solid(10, 10, kRed), 1, 20, 30);
  ASSERT_EQ(lbtsConnectSprite(child, parent), 1);
  int x = 0, y = 0;
  lbtsGetSpriteAbsPos(child, &x, &y);
  EXPECT_EQ(x, 120);
  EXPECT_EQ(y, 130);
  lbtsSetSpritePos(parent, 300, 200);
  lbtsGetSpritePos(child, &x, &y);
  EXPECT_EQ(x, 20);
  EXPECT_EQ(y, 30);
  auto frame = render();
  EXPECT_EQ(at(frame, 320, 230), kRed);
  EXPECT_EQ(at(frame, 120, 130), kBlack);
}

TEST_F(SpriteRules, Parent_SizeAndRotationDoNotCarryOverToTheChild) {
  LbSprite parent = sprite(solid(50, 50, kBlue), 0, 100, 100);
  LbSprite child = sprite(solid(10, 10, kRed), 1, 20, 30);
  lbtsConnectSprite(child, parent);
  lbtsSetSpriteSize(parent, 200, 10);
  lbtsSetSpritePivot(parent, 0.5f, 0.5f);
  lbtsRotateSpriteZ(parent, 45.0f);
  auto frame = render();
  EXPECT_EQ(at(frame, 120, 130), kRed);
  EXPECT_EQ(at(frame, 129, 139), kRed);
  EXPECT_NE(at(frame, 130, 140), kRed);
}

TEST_F(SpriteRules, Parent_CycleIsRefused) {
  LbImage img = solid(4, 4, kRed);
  LbSprite a = sprite(img, 0, 0, 0), b = sprite(img, 0, 0, 0), c = sprite(img, 0, 0, 0);
  EXPECT_EQ(lbtsConnectSprite(b, a), 1);
  EXPECT_EQ(lbtsConnectSprite(c, b), 1);
  EXPECT_EQ(lbtsConnectSprite(a, c), 0);
  EXPECT_EQ(lbtsConnectSprite(a, a), 0);
  EXPECT_EQ(lbtsConnectSprite(b, nullptr), 1);  // disconnecting is always allowed
  EXPECT_EQ(lbtsConnectSprite(a, c), 1);        // c no longer descends from a
}

TEST_F(SpriteRules, Parent_DestroyedParentLeavesTheChildWhereItWas) {
  LbSprite parent = sprite(solid(10, 10, kBlue), 0, 100, 100);
  LbSprite child = sprite(solid(10, 10, kRed), 0, 5, 6);
  lbtsConnectSprite(child, parent);
  ASSERT_EQ(lbtsDestroySprite(parent), 1);
  int x = 0, y = 0;
  lbtsGetSpriteAbsPos(child, &x, &y);
  EXPECT_EQ(x, 105);
  EXPECT_EQ(y, 106);
  EXPECT_EQ(at(render(), 105, 106), kRed);
}

TEST_F(SpriteRules, Rotation_HalfTurnAboutTheCentreFlipsThePictureOntoTheSameSquare) {
  LbImage img = pattern(32, 16);
  LbSprite s = sprite(img, 0, 200, 100);
  lbtsSetSpritePivot(s, 0.5f, 0.5f);
  lbtsRotateSpriteZ(s, 180.0f);
  auto frame = render();
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 32; ++x)
      ASSERT_EQ(at(frame, 200 + x, 100 + y), img->pixels[(15 - y) * 32 + (31 - x)]) << x << "," << y;
  EXPECT_EQ(at(frame, 199, 100), kBlack);
  EXPECT_EQ(at(frame, 232, 115), kBlack);
}

TEST_F(SpriteRules, Rotation_QuarterTurnIsClockwiseAboutThePivot) {
  // A 20x10 bar pivoting on its top-left corner turns down, onto x in [190, 200).
  LbSprite s = sprite(solid(20, 10, kRed), 0, 200, 100);
  lbtsRotateSpriteZ(s, 90.0f);
  auto frame = render();
  EXPECT_EQ(at(frame, 195, 110), kRed);
  EXPECT_EQ(at(frame, 205, 105), kBlack);
  EXPECT_EQ(at(frame, 195, 95), kBlack);
}

TEST_F(SpriteRules, Rotation_NoneUndoesEveryTurn) {
  LbImage img = pattern(16, 16);
  LbSprite s = sprite(img, 0, 10, 10);
  lbtsRotateSpriteZ(s, 33.0f);
  lbtsRotateSpriteX(s, 50.0f);
  lbtsRotateSpriteNone(s);
  EXPECT_EQ(at(render(), 10, 10), img->pixels[0]);
}

TEST_F(SpriteRules, Rotation_AboutXSquashesTheHeightAboutThePivot) {
  LbSprite s = sprite(solid(20, 100, kRed), 0, 100, 100);
  lbtsSetSpritePivot(s, 0.0f, 0.5f);
  lbtsRotateSpriteX(s, 60.0f);  // cos 60 = 0.5: rows 125..175
  auto frame = render();
  EXPECT_EQ(at(frame, 110, 124), kBlack);
  EXPECT_EQ(at(frame, 110, 126), kRed);
  EXPECT_EQ(at(frame, 110, 173), kRed);
  EXPECT_EQ(at(frame, 110, 176), kBlack);
  EXPECT_EQ(at(frame, 119, 150), kRed);  // width untouched
}

TEST_F(SpriteRules, Rotation_AboutYSquashesTheWidth) {
  LbSprite s = sprite(solid(100, 20, kRed), 0, 100, 100);
  lbtsSetSpritePivot(s, 0.5f, 0.0f);
  lbtsRotateSpriteY(s, 60.0f);
  auto frame = render();
  EXPECT_EQ(at(frame, 124, 110), kBlack);
  EXPECT_EQ(at(frame, 126, 110), kRed);
  EXPECT_EQ(at(frame, 173, 110), kRed);
  EXPECT_EQ(at(frame, 176, 110), kBlack);
}

TEST_F(SpriteRules, Blend_HalfAlphaOverBlueMixesExactly) {
  sprite(solid(10, 10, kBlue), 0, 0, 0);
  sprite(solid(10, 10, argb(128, 255, 0, 0)), 1, 0, 0);
  EXPECT_EQ(at(render(), 5, 5), argb(255, 128, 0, 127));
}

TEST_F(SpriteRules, Blend_CornerAlphaMultipliesTheImageAlpha) {
  sprite(solid(10, 10, kBlue), 0, 0, 0);
  LbSprite s = sprite(solid(10, 10, argb(128, 255, 0, 0)), 1, 0, 0);
  for (int c = 0; c < 4; ++c) lbtsSetSpriteColorA(s, c, 0.0f);
  EXPECT_EQ(at(render(), 5, 5), kBlue);
  for (int c = 0; c < 4; ++c) lbtsSetSpriteColorA(s, c, 1.0f);
  EXPECT_EQ(at(render(), 5, 5), argb(255, 128, 0, 127));
}

TEST_F(SpriteRules, Blend_CornerAlphaRampsLinearlyAcrossTheQuad) {
  LbSprite s = sprite(solid(101, 10, argb(255, 255, 255, 255)), 0, 0, 0);
  lbtsSetSpriteColorA(s, 0, 0.0f);
  lbtsSetSpriteColorA(s, 2, 0.0f);
  auto frame = render();
  uint32_t left = at(frame, 0, 5) & 0xFF, middle = at(frame, 50, 5) & 0xFF,
           right = at(frame, 100, 5) & 0xFF;
  EXPECT_LE(left, 4u);
  EXPECT_NEAR(static_cast<int>(middle), 128, 3);
  EXPECT_GE(right, 251u);
  for (int x = 1; x <= 100; ++x) ASSERT_GE(at(frame, x, 5) & 0xFF, at(frame, x - 1, 5) & 0xFF);
}

TEST_F(SpriteRules, Blend_AdditiveBrightensWhatIsBelow) {
  sprite(solid(10, 10, argb(255, 100, 0, 200)), 0, 0, 0);
  LbSprite s = sprite(solid(10, 10, argb(255, 100, 50, 100)), 1, 0, 0);
  ASSERT_EQ(lbtsSetSpriteBlend(s, 2), 1);
  EXPECT_EQ(lbtsGetSpriteBlend(s), 2);
  EXPECT_EQ(at(render(), 5, 5), argb(255, 200, 50, 255));
  EXPECT_EQ(lbtsSetSpriteBlend(s, 7), 0);
  EXPECT_EQ(lbtsGetSpriteBlend(s), 2);
}

TEST_F(SpriteRules, Colour_CornerColourMultipliesEachChannel) {
  LbSprite s = sprite(solid(10, 10, argb(255, 200, 100, 50)), 0, 0, 0);
  for (int c = 0; c < 4; ++c) lbtsSetSpriteColorRGB(s, c, 0.5f, 1.0f, 0.0f);
  uint32_t p = at(render(), 5, 5);
  EXPECT_NEAR(static_cast<int>(p >> 16 & 0xFF), 100, 1);
  EXPECT_EQ(p >> 8 & 0xFF, 100u);
  EXPECT_EQ(p & 0xFF, 0u);
}

TEST_F(SpriteRules, Geometry_SettersRefuseNonsenseAndKeepTheOldValues) {
  LbSprite s = sprite(solid(10, 10, kRed), 0, 0, 0);
  EXPECT_EQ(lbtsSetSpriteSize(s, -1, 5), 0);
  EXPECT_EQ(lbtsSetSpriteMap(s, 0, 0, 5, -5), 0);
  EXPECT_EQ(lbtsSetSpriteColorA(s, 4, 0.5f), 0);
  EXPECT_EQ(lbtsRotateSpriteZ(s, std::numeric_limits<float>::quiet_NaN()), 0);
  EXPECT_EQ(lbtsSetSpritePivot(s, std::numeric_limits<float>::infinity(), 0), 0);
  int w = 0, h = 0, mx = 1, my = 1;
  lbtsGetSpriteSize(s, &w, &h);
  EXPECT_EQ(w, 10);
  EXPECT_EQ(h, 10);
  lbtsGetSpriteMap(s, &mx, &my, &w, &h);
  EXPECT_EQ(mx, 0);
  EXPECT_EQ(h, 10);
  EXPECT_EQ(at(render(), 5, 5), kRed);
}

TEST_F(SpriteRules, Handles_DestroyedImageLeavesItsSpritesShowingNothing) {
  LbImage img = lbtsCreateImage(10, 10);
  lbtsFillImage(img, 1, 0, 0, 1);
  LbSprite s = sprite(img, 0, 0, 0);
  EXPECT_EQ(at(render(), 5, 5), kRed);
  ASSERT_EQ(lbtsDestroyImage(img), 1);
  EXPECT_EQ(at(render(), 5, 5), kBlack);
  EXPECT_EQ(lbtsSetSpritePos(s, 1, 1), 1);
}

TEST_F(SpriteRules, Handles_StaleOrNullHandlesAreRefusedCleanly) {
  LbImage img = solid(4, 4, kRed);
  LbSprite s = sprite(img, 0, 0, 0);
  lbtsDestroySprite(s);
  EXPECT_EQ(lbtsDestroySprite(s), 0);
  EXPECT_EQ(lbtsSetSpritePos(s, 1, 1), 0);
  EXPECT_EQ(lbtsGetSpriteLevel(nullptr), 0);
  EXPECT_EQ(lbtsCreateSprite(nullptr, 0, 1), nullptr);
  EXPECT_EQ(lbtsSetSpriteWipe(nullptr, nullptr, 0), 0);
  int w = 0;
  EXPECT_EQ(lbtsGetImageSize(reinterpret_cast<LbImage>(&w), &w, &w), 0);
}

}  // namespace
