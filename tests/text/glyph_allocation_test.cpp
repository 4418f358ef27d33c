// Writing a message costs no memory allocation per character once the font exists: the
// glyph's coverage lives in the font, the glyphs it keeps live in room made with its face,
// and drawing only touches the surface's pixels.
#include "lb/host_api.h"
#include "runtime.h"
#include "wincompat.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

// Counts the program's C++ allocations (the runtime's included). Sanitizer builds keep
// their own allocator, so the count, and this test, exist only in ordinary builds.
#if !defined(__SANITIZE_ADDRESS__)
namespace {
std::atomic<long> gAllocations{0};
}

void* operator new(std::size_t size) {
  ++gAllocations;
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

TEST(GlyphAllocation, RenderingAndDrawingCharactersAllocatesNothing) {
  char face[64];
  ASSERT_GE(compatUtf8ToSjis("ＭＳ ゴシック", face, sizeof face), 0);
  LbFont font = lbCreateChar(face, 24, 5, 0, 1, 0x30);
  LbImage surface = lbtsCreateImage(200, 60);
  ASSERT_TRUE(font && surface);
  const int codes[] = {0x88D9, 0x8B63, 0x82A0, 0x82E8, 'A', 'g', 0xB1, 0x8140};
  for (int code : codes) ASSERT_TRUE(lbRenderChar(font, code));  // first use sets tables up

  long before = gAllocations;
  int x = 0;
  for (int round = 0; round < 3; ++round) {
    for (int code : codes) {
      LbPoint at{};
      LbSize feed{}, box{};
      lbRenderChar(font, code);
      lbGetCharBoxSize(&box, font);
      lbGetCharDrawPos(&at, font);
      lbGetCharFeedSize(&feed, font);
      lbtsDrawChar(surface, x % 180 + at.x, at.y, font);
      x += feed.cx;
    }
  }
  EXPECT_EQ(gAllocations - before, 0);

  // Hundreds of characters more than the font keeps of its glyphs: the kept ones give way
  // to the new, in the room they had.
  before = gAllocations;
  int rendered = 0;
  for (int lead = 0x89; lead <= 0x93; ++lead)
    for (int trail = 0x40; trail <= 0xFC; ++trail) rendered += lbRenderChar(font, lead << 8 | trail);
  EXPECT_GT(rendered, 1500);
  EXPECT_EQ(gAllocations - before, 0);
  lbtsDestroyImage(surface);
  lbDestroyChar(font);
}

}  // namespace
#endif
