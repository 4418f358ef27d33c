/*
 * What the runtime's parts share with each other (never exported): the image record that
 * images, text and the compositor all work on, game file access, and the presentation
 * backend that shows or records each composed frame.
 */
#ifndef ORVANE_RUNTIME_RUNTIME_H
#define ORVANE_RUNTIME_RUNTIME_H

#include "lb/host_api.h"

#include <cstdint>
#include <string>
#include <vector>

// The frame size every composed frame has.
constexpr int kFrameWidth = 800;
constexpr int kFrameHeight = 600;

// A rectangle of pixels (of the frame, or of an image): columns x0 to x1 and rows y0 to y1,
// the ends excluded.
struct FrameRect {
  int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  bool empty() const { return x0 >= x1 || y0 >= y1; }
  static FrameRect whole() { return {0, 0, kFrameWidth, kFrameHeight}; }
};

// The smallest rectangle holding both.
FrameRect unite(const FrameRect& a, const FrameRect& b);
// What the two have in common (empty when nothing).
FrameRect intersect(const FrameRect& a, const FrameRect& b);

// A render image. Pixels are straight (not premultiplied) alpha, 0xAARRGGBB in native byte
// order, row-major with no padding: a surface filled with a colour at zero alpha keeps that
// colour, so a glyph drawn into it shows in the fill colour. Whoever writes pixels bumps
// `version`, so the compositor knows its premultiplied copy is stale; a writer that knows
// which pixels it touched says so through imageWritten, so that only those are made again.
struct LbImageObject {
  int width = 0, height = 0;          // the whole pixel grid
  int cellWidth = 0, cellHeight = 0;  // what lbtsGetImageSize reports (one cell of a grid)
  int offsetX = 0, offsetY = 0;       // lbtsSetImagePos: which part shows through a sprite's map
  std::vector<uint32_t> pixels;
  uint64_t version = 0;
  // The last writes that said where they wrote, by the version each made.
  struct Change {
    uint64_t version = 0;
    FrameRect rect;
  };
  Change changes[8];
  // Whether every pixel is `filledColour` as of `filledVersion` (a new image is all zero, a
  // fill leaves one colour): a fill with that colour before anything else is written has
  // nothing to change. A message window is cleared several times as it is set up.
  uint64_t filledVersion = ~uint64_t{0};
  uint32_t filledColour = 0;
};

// Bumps the image's version, noting that only the pixels within the rectangle changed.
void imageWritten(LbImageObject& image, const FrameRect& rect);
// The pixels that may differ between version `since` and now: the whole image when a write
// in between did not say where it wrote, or the notes do not reach back that far.
FrameRect imageChangedSince(const LbImageObject& image, uint64_t since);

// Game files: the game folder, with the archive of lbSetDataFile mounted in front of it.
// Names are Shift-JIS relative paths, matched without ASCII case. Returns false when the
// file does not exist or cannot be read.
bool readGameFile(const char* sjisPath, std::vector<uint8_t>& out);

// Makes the folder (a UTF-8 path) the game folder every game file is read from, dropping
// the folder and archive of an earlier call. The launcher calls it before core starts.
// Returns false when it is not a readable folder.
bool mountGameFolder(const char* utf8Dir);

// Presentation: shows a composed frame (opaque 0xFFRRGGBB pixels, kFrameWidth x
// kFrameHeight) in the window, or hands it to the headless recorder. `changed` is where it
// differs from the frame presented before (the whole frame when unknown); the buffer stays
// as it is until the next presentation or keepPresentedFrame. Returns false when the frame
// could not be shown.
bool presentFrame(const uint32_t* pixels, const FrameRect& changed = FrameRect::whole());

// The buffer of the frame last presented is about to be drawn over without being presented:
// the presentation keeps its own copy of what it shows.
void keepPresentedFrame(const uint32_t* pixels);

// Writes an opaque frame (0xFFRRGGBB pixels) as a PNG file; false, with the reason in
// error, when it cannot.
bool writeFramePng(const std::string& path, const uint32_t* pixels, int width, int height,
                   std::string* error);
// Whether each presented frame is composed first. Off only for headless runs whose frames
// nobody looks at (the fuzz targets, which compose on request instead): game time still
// passes frame by frame, but no pixels are drawn for shots.
bool composingFrames();

// The headless transcript: one line per observable event, prefixed with the game time.
// Does nothing when no transcript is being written.
void transcriptLine(const std::string& utf8Text);

#endif  // ORVANE_RUNTIME_RUNTIME_H
