// Golden frames: a composed 800x600 frame compared exactly with tests/golden/NAME.png. With
// ORVANE_UPDATE_GOLDEN set the golden is written instead (look at it before committing). A
// frame that differs is written as NAME.actual.png, with NAME.diff.png marking the differing
// pixels in red, into <build>/golden-failures.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

// Frame pixels are opaque 0xAARRGGBB, row-major, 800x600.
::testing::AssertionResult matchesGolden(const std::vector<uint32_t>& frame, const std::string& name);

// PNG files of 0xAARRGGBB pixels.
bool savePng(const std::vector<uint32_t>& pixels, int w, int h, const std::string& path);
bool loadPng(const std::string& path, std::vector<uint32_t>& pixels, int& w, int& h);

// A frame a replay wrote with `shot NAME` (the PNG at `path`), as 800x600 pixels; a missing
// or odd-sized file fails the test and gives a black frame, so comparisons go on safely.
std::vector<uint32_t> loadShot(const std::string& path);

// The Shift-JIS bytes of a UTF-8 text, converted at run time by the code page converter.
std::string sjis(const std::string& utf8);
