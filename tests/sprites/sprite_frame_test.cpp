// The sprite table's geometry as the player sees it: a composed frame of aligned, parented,
// scaled, rotated and translucent sprites over a colour background, matched exactly with its
// golden picture.
#include "present/text_layers.h"
#include "runtime.h"
#include "sprites_fixture.h"

namespace {

// Start-up's text layers stay out of these pictures.
class SpriteFrame : public SpritesTest {
 protected:
  void StartBare() {
    Start();
    for (const char* layer : {"def", "system"}) hideTextLayer(layer);
  }
};

std::vector<uint32_t> RenderedFrame() {
  EXPECT_NE(gHost.lbtsRender(), 0);
  LbImage image = gHost.lbtsCreateImage(800, 600);
  EXPECT_NE(gHost.lbtsGetRenderImage(image), 0);
  std::vector<uint32_t> pixels = image->pixels;
  gHost.lbtsDestroyImage(image);
  return pixels;
}

TEST_F(SpriteFrame, Layout_AlignmentParentsScaleRotationAndLevels) {
  StartBare();
  buildColourSprite(kBackgroundSlot, 3, 8, 8, "#203048", 0, 0, 800, 600, 0, 0, "", "none");

  // Two parts, a 25x25 box, centred on (400, 300) at four times its size and turned 30
  // degrees about its middle: both parts turn together.
  Build(userSlot(0), {Part("img/red20"), Part("img/blue10", 15, 15)}, 400, 300,
        "center middle", 100, 100);
  setSpritePivot(userSlot(0), 0.5f, 0.5f, 30.0f, "rotatez");

  // A right-aligned bar ending on column 600 and a square hanging from its last column.
  Build(userSlot(1), {Part("img/green")}, 600, 100, "right top", 90, 30);
  Build(userSlot(2), {Part("img/blue10")}, 0, 0, "");
  connectSprite(userSlot(2), userSlot(1));

  // Translucent white over the lower left, above a red square at a lower level.
  Build(userSlot(3), {Part("img/red20")}, 100, 470, "", 60, 60);
  setSpriteLevel(userSlot(3), 2);
  buildColourSprite(userSlot(4), 0, 4, 4, "#ffffff80", 50, 450, 200, 80, 20, 0, "", "none");

  // Bottom-right corner anchor: the last pixel of the screen.
  Build(userSlot(5), {Part("img/red20")}, 799, 599, "right bottom");

  EXPECT_TRUE(matchesGolden(RenderedFrame(), "sprites_layout"));
}

TEST_F(SpriteFrame, Hidden_SpritesLeaveTheFrame) {
  StartBare();
  Build(userSlot(0), {Part("img/red20")}, 10, 10, "", 100, 100);
  std::vector<uint32_t> shown = RenderedFrame();
  EXPECT_EQ(shown[50 * 800 + 50], 0xFFE02020u);
  hideSpriteChecked(userSlot(0), "none");
  std::vector<uint32_t> hidden = RenderedFrame();
  EXPECT_EQ(hidden[50 * 800 + 50], 0xFF000000u);  // the black system background
  destroySpriteChecked(userSlot(0));
  EXPECT_EQ(RenderedFrame(), hidden);
}

}  // namespace
