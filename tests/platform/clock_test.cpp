// The game clock: frame periods without drift, presented frames and waits moving the virtual
// clock, the time limit and frames written at given times.
#include "common/quiet_backend.h"
#include "headless_fixture.h"

#include <windows.h>

#include "wincompat.h"

#include <SDL_image.h>

TEST(FrameClock, SixtyFramesTakeExactlyOneSecond) {
  FrameClock c;
  c.setRate(60);
  uint32_t total = 0;
  for (int i = 0; i < 60; ++i) {
    uint32_t p = c.nextPeriod();
    EXPECT_TRUE(p == 16 || p == 17) << p;
    total += p;
  }
  EXPECT_EQ(total, 1000u);
  for (int i = 0; i < 60 * 3599; ++i) total += c.nextPeriod();
  EXPECT_EQ(total, 3600000u) << "an hour of frames drifts by nothing";
}

TEST(FrameClock, OtherRatesAndRateChanges) {
  FrameClock c;
  c.setRate(30);
  uint32_t total = 0;
  for (int i = 0; i < 30; ++i) total += c.nextPeriod();
  EXPECT_EQ(total, 1000u);
  c.setRate(1000);
  EXPECT_EQ(c.nextPeriod(), 1u);
  c.setRate(0);  // clamped, never a division by zero
  EXPECT_GE(c.nextPeriod(), 1u);
}

TEST_F(Headless, EachPresentedFrameTakesOneFramePeriod) {
  start();
  EXPECT_EQ(lbSetFPS(60), 1);
  EXPECT_EQ(gameTime(), 0u);
  uint32_t before = timeGetTime();
  for (int i = 0; i < 120; ++i) frame();
  EXPECT_EQ(gameTime(), 2000u);
  EXPECT_EQ(timeGetTime() - before, 2000u) << "the game's own clock moves with the frames";
  EXPECT_EQ(lbSetFPS(0), 0);
  EXPECT_EQ(lbSetFPS(25), 1);
  frame();
  EXPECT_EQ(gameTime(), 2040u);
}

TEST_F(Headless, WaitingLetsExactlyThatTimePass) {
  start();
  lbWaitEvent(0);
  EXPECT_EQ(gameTime(), 0u);
  lbWaitEvent(250);
  EXPECT_EQ(gameTime(), 250u);
  lbWaitEvent(-10);  // a negative wait waits for nothing
  EXPECT_EQ(gameTime(), 250u);
  lbClearEvent();
  EXPECT_EQ(gameTime(), 250u) << "servicing events takes no game time";
}

TEST_F(Headless, TheTimeLimitClosesTheWindow) {
  maxTime = 1000;
  start();
  lbWaitEvent(600);
  EXPECT_EQ(lbIsExit(), 0);
  lbWaitEvent(16777215);  // "no timer pending": must not run past the limit
  EXPECT_EQ(gameTime(), 1000u);
  EXPECT_NE(lbIsExit(), 0);
  auto lines = transcript();
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back(), "1000 exit");
}

// A window whose wait an event ends early: the player moved the pointer after `eventAfter` ms.
class EventfulWindow : public QuietBackend {
 public:
  explicit EventfulWindow(int eventAfter) : eventAfter_(eventAfter) {}
  void waitEvents(int ms) override { compatAdvanceClock(uint32_t(std::min(ms, eventAfter_))); }

 private:
  int eventAfter_;
};

TEST_F(Headless, AnEventBeforeTheTimeLimitDoesNotCloseTheWindow) {
  maxTime = 1000;
  start();
  std::unique_ptr<PresentBackend> headless = std::move(platform().backend);
  platform().backend = std::make_unique<EventfulWindow>(200);
  platform().headless = false;
  lbWaitEvent(16777215);  // waiting for the player, who moves the pointer at 200 ms
  EXPECT_EQ(gameTime(), 200u);
  EXPECT_EQ(lbIsExit(), 0) << "the limit is 1000 ms; the wait ended early";
  int waits = 0;
  while (!lbIsExit() && waits++ < 10) lbWaitEvent(16777215);
  EXPECT_EQ(gameTime(), 1000u);
  EXPECT_NE(lbIsExit(), 0);
  platform().headless = true;
  platform().backend = std::move(headless);
}

TEST_F(Headless, TheTimeLimitAlsoEndsAFrameLoop) {
  maxTime = 100;
  start();
  int frames = 0;
  while (!lbIsExit() && frames < 1000) {
    frame();
    ++frames;
  }
  EXPECT_EQ(frames, 6) << "100 ms at 60 fps";
}

TEST_F(Headless, ShotAtWritesTheFirstFrameAtOrAfterItsTime) {
  shotAtMs = {40, 40000};
  shotAtNames = {"fade", "never"};
  start();
  frame(0xFF000000);  // 0 ms
  frame(0xFF000000);  // 16 ms
  frame(0xFF000000);  // 33 ms
  frame(0xFFFF0000);  // 50 ms: the first at or after 40
  frame(0xFF00FF00);
  EXPECT_TRUE(std::filesystem::exists(dir / "shots" / "fade.png"));
  EXPECT_FALSE(std::filesystem::exists(dir / "shots" / "never.png"));
  SDL_Surface* png = IMG_Load((dir / "shots" / "fade.png").c_str());
  ASSERT_NE(png, nullptr);
  SDL_Surface* rgba = SDL_ConvertSurfaceFormat(png, SDL_PIXELFORMAT_ARGB8888, 0);
  EXPECT_EQ(rgba->w, 800);
  EXPECT_EQ(static_cast<uint32_t*>(rgba->pixels)[0], 0xFFFF0000u);
  SDL_FreeSurface(rgba);
  SDL_FreeSurface(png);
  auto lines = transcript();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0], "50 shot fade");
}
