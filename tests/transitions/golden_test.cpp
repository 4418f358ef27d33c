// Golden frames written by the runtime at fixed game times while a cross-fade, a background
// wipe over the captured screen and the scene fades run. Each sequence starts at game time
// 1000, so the frames fall at the same points of the sweep on every run.
#include "engine_fixture.h"

namespace {

class Goldens : public EngineTest {
 protected:
  void ExpectGoldens(const std::vector<std::string>& names) {
    for (const std::string& name : names) EXPECT_TRUE(matchesGolden(Shot(name), name));
  }
};

}  // namespace

TEST_F(Goldens, FadeReplacesOneSpriteWithAnother) {
  Start("", {{1000, "transition_fade_0"}, {1250, "transition_fade_250"},
             {1500, "transition_fade_500"}});
  Box(3, 3, "#203048", 0, 0, 800, 600, 0);
  Box(20, 0, "#d04030", 150, 150, 300, 300, 10);
  RunUntil(1000);
  // The sprite is rebuilt in its slot: the new one comes in while the old one goes out.
  buildColourSprite(20, 0, 300, 300, "#40a0e0", 350, 150, 0, 0, 10, 0, "", "fade");
  EXPECT_GE(timeGetTime(), 1500u);
  ExpectGoldens({"transition_fade_0", "transition_fade_250", "transition_fade_500"});
  // Halfway the two are mixed where they overlap, and each shows at half strength alone.
  const std::vector<std::uint32_t> half = Shot("transition_fade_250");
  EXPECT_NE(At(half, 200, 300), 0xD04030u);
  EXPECT_NE(At(half, 200, 300), 0x203048u);
  const std::vector<std::uint32_t> end = Shot("transition_fade_500");
  EXPECT_EQ(At(end, 200, 300), 0x203048u);
  EXPECT_EQ(At(end, 500, 300), 0x40A0E0u);
}

TEST_F(Goldens, BackgroundWipesInOverTheCapturedScreen) {
  Start("", {{1000, "transition_wipe_0"}, {1250, "transition_wipe_250"},
             {1500, "transition_wipe_500"}});
  Box(3, 3, "#204080", 0, 0, 800, 600, 0);
  Box(20, 0, "#e0c040", 60, 200, 120, 200, 10, "backhide");
  Box(21, 0, "#40c060", 220, 200, 120, 200, 10);
  RunUntil(1000);
  buildColourSprite(3, 3, 800, 600, "#803020", 0, 0, 0, 0, 0, 0, "", "wipe");
  EXPECT_FALSE(Realized(20));  // it went with the old screen
  EXPECT_TRUE(Realized(21));
  ExpectGoldens({"transition_wipe_0", "transition_wipe_250", "transition_wipe_500"});
  const std::vector<std::uint32_t> start = Shot("transition_wipe_0");
  EXPECT_EQ(At(start, 120, 300), 0xE0C040u);  // still in the captured picture
  const std::vector<std::uint32_t> half = Shot("transition_wipe_250");
  EXPECT_EQ(At(half, 20, 20), 0x803020u);     // the left has been swept in ...
  EXPECT_EQ(At(half, 780, 580), 0x204080u);   // ... the right is still the old screen
  EXPECT_EQ(At(half, 120, 300), 0x803020u);   // the backhide sprite is gone with it
  EXPECT_EQ(At(half, 280, 300), 0x40C060u);   // the other sprite stays on top
  const std::vector<std::uint32_t> end = Shot("transition_wipe_500");
  EXPECT_EQ(At(end, 780, 580), 0x803020u);
  EXPECT_EQ(At(end, 280, 300), 0x40C060u);
}

TEST_F(Goldens, SceneFadesOutAndBackIn) {
  Start("", {{1150, "scene_fade_out_150"}, {1500, "scene_fade_out_done"},
             {2150, "scene_fade_in_150"}, {2500, "scene_fade_in_done"}});
  Box(3, 3, "#303030", 0, 0, 800, 600, 0);
  Box(20, 0, "#e04080", 100, 150, 200, 300, 10, "wipefade");
  Box(21, 0, "#40e0a0", 300, 150, 200, 300, 10);
  Box(22, 0, "#e0e040", 500, 150, 200, 300, 10, "wipefade");
  RunUntil(1000);
  sceneFadeOut();
  RunUntil(1500);
  renderScreen();
  RunUntil(2000);
  sceneFadeIn();
  RunUntil(2500);
  renderScreen();
  ExpectGoldens({"scene_fade_out_150", "scene_fade_out_done", "scene_fade_in_150",
                 "scene_fade_in_done"});
  const std::vector<std::uint32_t> out = Shot("scene_fade_out_done");
  EXPECT_EQ(At(out, 200, 300), 0x303030u);
  EXPECT_EQ(At(out, 400, 300), 0x40E0A0u);
  const std::vector<std::uint32_t> back = Shot("scene_fade_in_done");
  EXPECT_EQ(At(back, 200, 300), 0xE04080u);
  EXPECT_EQ(At(back, 600, 300), 0xE0E040u);
}
