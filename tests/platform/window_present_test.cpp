// The bundled game in a real window on a virtual display, without a graphics card's
// renderer, so the runtime stretches the frames into the window's pixels itself: after the
// title came up over many frames that changed only in part, the window holds the presented
// frame stretched, pixel for pixel, with black bars beside it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/golden.h"
#include "common/replay.h"
#include "frame_scaler.h"

namespace fs = std::filesystem;

TEST(WindowPresent, AFullScreenWindowShowsTheFrameStretchedBetweenBars) {
  if (std::system("command -v xvfb-run && command -v openbox && command -v xwd && "
                  "command -v convert") != 0)
    GTEST_SKIP() << "needs xvfb-run, openbox, xwd and ImageMagick's convert";
  const fs::path dir = fs::temp_directory_path() / ("orvane_window_" + std::to_string(getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir / "save");
  std::ofstream(dir / "save" / "orvane.ini") << "[settings]\nfullscreen=1\n";
  std::ofstream(dir / "input.txt") << "wait 5000\nshot title\nwait 8000\nquit\n";
  // A window manager makes the window full screen; the screen is taken once the title's frame
  // was written and has stood for a second.
  std::ofstream(dir / "drive.sh")
      << "openbox >/dev/null 2>&1 & WM=$!\nsleep 1\n"
      << "SDL_RENDER_DRIVER=software SDL_AUDIODRIVER=dummy " ORVANE_BIN_DIR "/orvane"
      << " --save-dir " << dir / "save" << " --input " << dir / "input.txt" << " --shots "
      << dir << " & GAME=$!\n"
      << "while [ ! -s " << dir / "title.png" << " ]; do sleep 0.2; done; sleep 1\n"
      << "xwd -root -silent | convert xwd:- " << dir / "window.png" << "\n"
      << "wait $GAME; kill $WM\n";
  // A screen wider than the frame's aspect: the frame fills its height, bars left and right.
  const int screenW = 1700, screenH = 1200;
  EXPECT_EQ(exitStatusOf("ASAN_OPTIONS=detect_leaks=0 xvfb-run -a -s '-screen 0 1700x1200x24' "
                         "timeout 60 sh " + (dir / "drive.sh").string() + " >/dev/null 2>&1"),
            0);

  std::vector<uint32_t> frame = loadShot((dir / "title.png").string()), window;
  int w = 0, h = 0;
  ASSERT_TRUE(loadPng((dir / "window.png").string(), window, w, h));
  ASSERT_EQ(w, screenW);
  ASSERT_EQ(h, screenH);
  FrameScaler scaler;
  scaler.configure(letterbox(screenW, screenH), true);
  const Viewport& place = scaler.place();
  ASSERT_EQ(place.x, 50);
  std::vector<uint32_t> expected(size_t(screenW) * screenH, 0);
  scaler.scale(frame.data(), scaler.reach(FrameRect::whole()),
               expected.data() + size_t(place.y) * screenW + place.x, screenW);
  int differ = 0;
  for (size_t i = 0; i < expected.size(); ++i)
    if (((expected[i] ^ window[i]) & 0xFFFFFF) != 0 && differ++ == 0)
      ADD_FAILURE() << "first difference at " << i % screenW << "," << i / screenW << ": window "
                    << std::hex << window[i] << ", frame stretched " << expected[i];
  EXPECT_EQ(differ, 0);
  if (!HasFailure()) fs::remove_all(dir);
}
