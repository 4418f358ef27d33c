/*
 * Frames: composing the sprite table into the last frame, handing it to the presentation
 * backend, and copying it into an image (the screen capture under a background wipe).
 */
#include "compositor.h"

#include <algorithm>

namespace {

std::vector<uint32_t>& lastFrame() {
  static std::vector<uint32_t> frame(static_cast<size_t>(kFrameWidth) * kFrameHeight,
                                     0xFF000000u);
  return frame;
}

// Where the composed frame differs from the frame presented last: all of it until the first
// presentation.
FrameRect gUnpresented = FrameRect::whole();

bool presentComposed(const FrameRect& changed) {
  FrameRect all = unite(gUnpresented, changed);
  gUnpresented = {};
  return presentFrame(lastFrame().data(), all);
}

}  // namespace

extern "C" {

// Composes without presenting: the window goes on showing the frame presented last.
int lbtsRender(void) {
  keepPresentedFrame(lastFrame().data());
  FrameRect changed;
  if (!composeFrame(lastFrame().data(), &changed)) return 0;
  gUnpresented = unite(gUnpresented, changed);
  return 1;
}

int lbtsRenderScreen(void) {
  FrameRect changed;
  if (composingFrames() && !composeFrame(lastFrame().data(), &changed)) return 0;
  return presentComposed(changed) ? 1 : 0;
}

// Shows the last composed frame again without composing.
int lbtsPresent(void) { return presentComposed({}) ? 1 : 0; }

// The frame is opaque, so its pixels are valid straight-alpha pixels as they are. An image
// of another size receives the part of the frame that overlaps it, from the top-left corner.
int lbtsGetRenderImage(LbImage image) {
  if (!isLiveImage(image)) return 0;
  const std::vector<uint32_t>& frame = lastFrame();
  int width = std::min(image->width, kFrameWidth);
  int height = std::min(image->height, kFrameHeight);
  for (int y = 0; y < height; ++y)
    std::copy_n(frame.begin() + static_cast<size_t>(y) * kFrameWidth, width,
                image->pixels.begin() + static_cast<size_t>(y) * image->width);
  imageWritten(*image, {0, 0, width, height});
  return 1;
}

}  // extern "C"
