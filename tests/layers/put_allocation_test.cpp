// Putting characters allocates nothing: not for the glyph, the colour fills, the shadow or
// the ruby, once the layer and its fonts exist.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "layers_fixture.h"

// Counts the program's C++ allocations (core's and the runtime's included). Sanitizer
// builds keep their own allocator, so the count, and this test, exist only in plain builds.
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

using LayerPutAllocation = Layers;

TEST_F(LayerPutAllocation, CharactersWithColourShadowAndRubyAllocateNothing) {
  const std::uint16_t kan = code("漢"), a = code("あ"), letter = 'A';
  // Every glyph has been rendered once, so the fonts' own tables are set up.
  put("漢あA");
  setRubyMode(true);
  put("あ");
  setRubyMode(false);
  put("漢");
  clearTextLayer("");

  const long before = gAllocations;
  for (int round = 0; round < 4; ++round) {
    setTextColour(1, 0.5f, 0);
    setShadowColour(0.2f, 0.2f, 0.2f);
    putChar(kan);
    setRubyMode(true);
    putChar(a);
    putChar(a);
    setRubyMode(false);
    putChar(kan);
    resetTextColour();
    resetShadowColour();
    putChar(letter);
    newLine();
  }
  EXPECT_EQ(gAllocations - before, 0);
}

}  // namespace
#endif
