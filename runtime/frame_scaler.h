/*
 * Stretching the 800x600 frame into a window's own pixels, for windows presented without a
 * renderer of the graphics card's: only the window pixels that depend on what changed in the
 * frame are made again, nearest or bilinear.
 */
#ifndef ORVANE_RUNTIME_FRAME_SCALER_H
#define ORVANE_RUNTIME_FRAME_SCALER_H

#include "present.h"

#include <cstdint>
#include <vector>

// Where one output column (or row) reads the frame: the pixel at `index` and the one after it,
// blended with `weight` out of 128 toward the second.
struct ScaleTap {
  int index;
  int weight;
};

// The taps of an output of outSize pixels over a frame side of frameSize pixels, sampled at
// the output pixels' centres; nearest takes the frame pixel under the centre. Indexes stay
// below frameSize - 1, so the pixel after is always in the frame.
std::vector<ScaleTap> scaleTaps(int frameSize, int outSize, bool smooth);

class FrameScaler {
 public:
  // The frame's place in the output (from letterbox) and the filter.
  void configure(const Viewport& place, bool smooth);
  const Viewport& place() const { return place_; }
  // The output rectangle, relative to the place's corner, whose pixels read any frame pixel
  // of `changed`.
  FrameRect reach(const FrameRect& changed) const;
  // Writes the output pixels of `area` (relative to the place's corner) from the frame; `out`
  // is the place's corner, `pitch` the output's row length in pixels.
  void scale(const uint32_t* frame, const FrameRect& area, uint32_t* out, int pitch);

 private:
  // The frame row stretched across the area being written: made again unless one of the
  // two kept rows, over the kept row other than `keep`.
  const uint32_t* across(const uint32_t* frame, int row, int keep);

  Viewport place_{0, 0, 0, 0};
  std::vector<ScaleTap> columns_, rows_;
  std::vector<int16_t> columnWeights_;  // each column's weight four times, for vector loops
  std::vector<int> ownRow_;  // for each frame row, the output row showing it alone (or -1)
  FrameRect area_;           // what scale() is writing, and where
  uint32_t* out_ = nullptr;
  int pitch_ = 0;
  // Frame rows stretched across the area being written, kept while the next output row reads
  // them too: in an output row, or in a buffer of the scaler's.
  std::vector<uint32_t> buffers_[2];
  uint32_t* stretched_[2] = {};
  int stretchedRow_[2] = {-1, -1};
};

// The two loops, exposed so a test can hold the vector code to the scalar one. They use the
// widest vectors the processor has (AVX2 or SSE2); useWideVectors(false) keeps them to SSE2
// and says whether the wide ones are in use.
bool useWideVectors(bool wanted);
void stretchRow(const uint32_t* row, const ScaleTap* taps, const int16_t* weights,
                uint32_t* out, int count);
void stretchRowScalar(const uint32_t* row, const ScaleTap* taps, uint32_t* out, int count);
void blendRows(const uint32_t* a, const uint32_t* b, int weight, uint32_t* out, int count);
void blendRowsScalar(const uint32_t* a, const uint32_t* b, int weight, uint32_t* out,
                     int count);

#endif
