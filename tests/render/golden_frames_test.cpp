// Whole frames compared with the golden pictures in tests/golden: what scaling, turning,
// cells, corner alpha and wipes look like. Regenerate deliberately with
// ORVANE_UPDATE_GOLDEN=1 and look at every picture before committing it.
#include "render_fixture.h"

namespace {

using GoldenFrames = RenderTest;

// A backdrop stretched over the whole frame, so that what is transparent and what is black
// tell apart.
void backdrop(LbImage img) {
  LbSprite s = lbtsCreateSprite(img, -100, 1);
  lbtsSetSpriteSize(s, kFrameWidth, kFrameHeight);
}

TEST_F(GoldenFrames, PositionsAndLevels) {
  backdrop(image(2, 2, [](int x, int y) { return (x + y) % 2 ? argb(255, 40, 40, 60) : argb(255, 60, 60, 80); }));
  LbImage red = solid(200, 150, argb(255, 220, 40, 40));
  LbImage green = solid(200, 150, argb(255, 40, 200, 60));
  LbImage blue = solid(200, 150, argb(200, 50, 80, 230));
  sprite(red, 6, 100, 100);
  sprite(blue, 2, 160, 160);     // created after red but lower: under it
  sprite(green, 6, 220, 40);     // equal to red, created later: above it
  sprite(pattern(96, 64), 8, 600, 420);
  EXPECT_TRUE(matchesGolden(render(), "positions_and_levels"));
}

TEST_F(GoldenFrames, ScaledUpAndDown) {
  LbImage img = pattern(48, 32);
  LbSprite up = sprite(img, 0, 40, 40);
  lbtsSetSpriteSize(up, 360, 240);
  LbSprite down = sprite(pattern(192, 128), 0, 480, 60);
  lbtsSetSpriteSize(down, 96, 64);
  LbSprite stretched = sprite(img, 0, 40, 360);
  lbtsSetSpriteSize(stretched, 700, 100);
  EXPECT_TRUE(matchesGolden(render(), "scaled"));
}

TEST_F(GoldenFrames, RotatedAboutZAroundPivots) {
  LbImage img = pattern(160, 96);
  LbSprite centre = sprite(img, 0, 120, 120);
  lbtsSetSpritePivot(centre, 0.5f, 0.5f);
  lbtsRotateSpriteZ(centre, 30.0f);
  LbSprite corner = sprite(img, 0, 560, 120);  // turns about its top-left corner
  lbtsRotateSpriteZ(corner, 90.0f);
  LbSprite scaled = sprite(img, 0, 400, 380);
  lbtsSetSpriteSize(scaled, 240, 144);
  lbtsSetSpritePivot(scaled, 1.0f, 1.0f);
  lbtsRotateSpriteZ(scaled, -20.0f);
  EXPECT_TRUE(matchesGolden(render(), "rotated_z"));
}

TEST_F(GoldenFrames, SquashedAboutXAndY) {
  LbImage img = pattern(160, 160);
  LbSprite x = sprite(img, 0, 100, 200);
  lbtsSetSpritePivot(x, 0.5f, 0.5f);
  lbtsRotateSpriteX(x, 60.0f);
  LbSprite y = sprite(img, 0, 320, 200);
  lbtsSetSpritePivot(y, 0.5f, 0.5f);
  lbtsRotateSpriteY(y, 120.0f);  // past a quarter turn: seen from behind, mirrored
  LbSprite both = sprite(img, 0, 540, 200);
  lbtsSetSpritePivot(both, 0.5f, 0.5f);
  lbtsRotateSpriteX(both, 45.0f);
  lbtsRotateSpriteZ(both, 45.0f);
  EXPECT_TRUE(matchesGolden(render(), "squashed_xy"));
}

TEST_F(GoldenFrames, CellsOfAGridImage) {
  // A 4x2 grid of 64x64 cells, each a colour and a bar whose length is its number.
  LbImage grid = image(256, 128, [](int x, int y) {
    int cell = y / 64 * 4 + x / 64, cx = x % 64, cy = y % 64;
    if (cy > 40 && cy < 52 && cx > 4 && cx < 8 + cell * 7) return argb(255, 255, 255, 255);
    if (cx == 0 || cy == 0) return argb(255, 255, 255, 0);  // cell border
    return argb(255, 30 + cell * 28, 200 - cell * 20, 90);
  });
  LbSprite all = sprite(grid, 0, 20, 20);
  lbtsSetSpriteMap(all, 0, 0, 256, 128);
  lbtsSetSpriteSize(all, 256, 128);
  LbImage second = image(256, 128, [&](int x, int y) { return grid->pixels[y * 256 + x]; });
  LbSprite cell = sprite(second, 0, 400, 40);
  lbtsSetSpriteMap(cell, 0, 0, 64, 64);
  lbtsSetSpriteSize(cell, 64, 64);
  lbtsSetImagePos(second, 128, 64);  // cell 6
  LbSprite big = sprite(second, 0, 500, 40);  // the same offset shows through a scaled sprite
  lbtsSetSpriteMap(big, 0, 0, 64, 64);
  lbtsSetSpriteSize(big, 192, 192);
  LbSprite edge = sprite(grid, 0, 100, 300);  // a map hanging off the image: nothing there
  lbtsSetSpriteMap(edge, 192, 64, 128, 128);
  lbtsSetSpriteSize(edge, 256, 256);
  EXPECT_TRUE(matchesGolden(render(), "grid_cells"));
}

TEST_F(GoldenFrames, CornerAlphaRamps) {
  backdrop(image(2, 2, [](int x, int y) { return (x + y) % 2 ? argb(255, 200, 60, 60) : argb(255, 60, 60, 200); }));
  LbImage white = solid(64, 64, argb(255, 255, 255, 255));
  LbSprite horizontal = sprite(white, 0, 40, 40);
  lbtsSetSpriteSize(horizontal, 720, 120);
  lbtsSetSpriteColorA(horizontal, 0, 0.0f);
  lbtsSetSpriteColorA(horizontal, 2, 0.0f);
  LbSprite vertical = sprite(white, 0, 40, 200);
  lbtsSetSpriteSize(vertical, 200, 360);
  lbtsSetSpriteColorA(vertical, 2, 0.0f);
  lbtsSetSpriteColorA(vertical, 3, 0.0f);
  LbSprite one = sprite(pattern(200, 200), 0, 300, 240);
  lbtsSetSpriteColorA(one, 0, 0.0f);
  LbSprite tinted = sprite(pattern(200, 200), 0, 560, 240);
  lbtsSetSpriteColorRGBA(tinted, 0, 1.0f, 0.2f, 0.2f, 1.0f);
  lbtsSetSpriteColorRGBA(tinted, 3, 0.2f, 0.2f, 1.0f, 0.5f);
  EXPECT_TRUE(matchesGolden(render(), "corner_alpha"));
}

TEST_F(GoldenFrames, MaskWipeLevelsInBothModes) {
  backdrop(image(2, 2, [](int x, int y) { return (x + y) % 2 ? argb(255, 40, 40, 60) : argb(255, 60, 60, 80); }));
  // A diagonal ramp with a ripple: dark at the top left, light at the bottom right.
  auto grey = [](int x, int y) {
    int g = (x + y) * 255 / 126 + ((x / 8 + y / 8) % 2 ? 6 : -6);
    return static_cast<uint8_t>(g < 0 ? 0 : (g > 255 ? 255 : g));
  };
  LbImage img = pattern(200, 200);
  const float levels[3] = {0.0f, 0.5f, 1.0f};
  for (int mode = 0; mode < 2; ++mode)
    for (int i = 0; i < 3; ++i) {
      LbWipe w = wipe(64, 64, grey);
      lbtsSetWipeLevel(w, levels[i]);
      LbSprite s = sprite(img, 0, 40 + i * 250, 60 + (1 - mode) * 280);
      lbtsSetSpriteWipe(s, w, mode);
    }
  EXPECT_TRUE(matchesGolden(render(), "wipe_levels"));
}

TEST_F(GoldenFrames, CaptureShownUnderANewScene) {
  sprite(pattern(300, 200), 0, 100, 100);
  LbSprite turned = sprite(solid(100, 100, argb(255, 240, 200, 40)), 2, 450, 250);
  lbtsSetSpritePivot(turned, 0.5f, 0.5f);
  lbtsRotateSpriteZ(turned, 15.0f);
  ASSERT_EQ(lbtsRender(), 1);
  LbImage capture = lbtsCreateDynamicImage(kFrameWidth, kFrameHeight);
  images_.push_back(capture);
  ASSERT_EQ(lbtsGetRenderImage(capture), 1);
  destroySprites();
  // The old picture at half size, and the captured frame behind a half-revealed wipe.
  LbSprite half = sprite(capture, 4, 400, 0);
  lbtsSetSpriteSize(half, 400, 300);
  LbSprite full = sprite(capture, 2, 0, 0);
  LbWipe w = wipe(32, 32, [](int x, int) { return static_cast<uint8_t>(x * 8); });
  lbtsSetWipeLevel(w, 0.5f);
  lbtsSetSpriteWipe(full, w, 1);
  EXPECT_TRUE(matchesGolden(render(), "capture"));
}

TEST_F(GoldenFrames, ConnectedChildFollowsItsParent) {
  LbSprite parent = sprite(pattern(200, 120), 0, 50, 50);
  LbSprite child = sprite(solid(60, 40, argb(255, 250, 250, 60)), 1, 150, 90);
  lbtsConnectSprite(child, parent);
  LbSprite grandchild = sprite(solid(30, 30, argb(255, 60, 250, 250)), 2, 70, 50);
  lbtsConnectSprite(grandchild, child);
  lbtsSetSpritePos(parent, 380, 260);
  lbtsSetSpriteSize(parent, 300, 180);   // the children keep their own size
  lbtsSetSpritePivot(parent, 0.5f, 0.5f);
  lbtsRotateSpriteZ(parent, 10.0f);      // and do not turn with it
  EXPECT_TRUE(matchesGolden(render(), "connected_child"));
}

}  // namespace
