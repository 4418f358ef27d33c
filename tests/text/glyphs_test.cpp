// Character fonts: face names found through our aliases and fontconfig, Shift-JIS codes
// rendered with real metrics, and glyph coverage drawn into straight-alpha text surfaces.
#include "lb/host_api.h"
#include "runtime.h"
#include "wincompat.h"

#include <gtest/gtest.h>

#include "common/golden.h"

#include <algorithm>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {


// The 16-bit code core passes for one character: lead * 256 + trail when double-byte.
int code(const std::string& utf8) {
  std::string s = sjis(utf8);
  if (s.size() == 1) return static_cast<unsigned char>(s[0]);
  EXPECT_EQ(s.size(), 2u) << utf8;
  return static_cast<unsigned char>(s[0]) << 8 | static_cast<unsigned char>(s[1]);
}

struct Font {
  LbFont font;
  Font(const std::string& utf8Face, int size, int kind = 5, int flags = 0x30)
      : font(lbCreateChar(sjis(utf8Face).c_str(), size, kind, 0, 1, flags)) {}
  ~Font() { lbDestroyChar(font); }
  Font(const Font&) = delete;
  Font& operator=(const Font&) = delete;
};

struct Glyph {
  bool ok = false;
  LbSize box{}, feed{};
  LbPoint pos{};
};

Glyph render(LbFont font, int c) {
  Glyph g;
  g.ok = lbRenderChar(font, c) != 0;
  if (g.ok) {
    EXPECT_TRUE(lbGetCharBoxSize(&g.box, font));
    EXPECT_TRUE(lbGetCharDrawPos(&g.pos, font));
    EXPECT_TRUE(lbGetCharFeedSize(&g.feed, font));
  }
  return g;
}

// A render image of the runtime, filled with one straight-alpha pixel value.
struct Surface {
  LbImage image;
  Surface(int width, int height, uint32_t fill) : image(lbtsCreateImage(width, height)) {
    EXPECT_NE(image, nullptr);
    std::fill(image->pixels.begin(), image->pixels.end(), fill);
  }
  ~Surface() { lbtsDestroyImage(image); }
  Surface(const Surface&) = delete;
  Surface& operator=(const Surface&) = delete;
  LbImageObject* operator->() const { return image; }
};

// The alpha a glyph leaves on a clear surface, as one string, to tell glyphs apart.
std::string drawnAlpha(LbFont font, int c) {
  Surface image(64, 64, 0);
  EXPECT_TRUE(lbRenderChar(font, c));
  EXPECT_TRUE(lbtsDrawChar(image.image, 8, 8, font));
  std::string alpha;
  for (uint32_t p : image->pixels) alpha += static_cast<char>(p >> 24);
  return alpha;
}

long coverageSum(LbFont font, int c) {
  long sum = 0;
  for (char a : drawnAlpha(font, c)) sum += static_cast<unsigned char>(a);
  return sum;
}

const char* kGothic = "ＭＳ ゴシック";
const char* kPGothic = "ＭＳ Ｐゴシック";

// ---- finding faces ---------------------------------------------------------------------

TEST(CreateChar, FullWidthGothicFaceIsFixedPitchJapanese) {
  Font f(kGothic, 24);
  ASSERT_NE(f.font, nullptr);
  Glyph a = render(f.font, code("あ"));
  ASSERT_TRUE(a.ok);
  EXPECT_GT(a.box.cx, 12);
  EXPECT_EQ(render(f.font, 'i').feed.cx, render(f.font, 'W').feed.cx);
}

TEST(CreateChar, ProportionalGothicFaceIsProportional) {
  Font f(kPGothic, 24);
  ASSERT_NE(f.font, nullptr);
  EXPECT_LT(render(f.font, 'i').feed.cx, render(f.font, 'W').feed.cx);
}

TEST(CreateChar, HalfWidthSpellingOfTheFaceFindsTheSameFont) {
  Font full(kGothic, 20), half("MS ゴシック", 20);
  ASSERT_TRUE(full.font && half.font);
  EXPECT_EQ(drawnAlpha(full.font, code("漢")), drawnAlpha(half.font, code("漢")));
}

TEST(CreateChar, FaceThatIsNotInstalledIsRefused) {
  Font f("存在しない書体", 24);
  EXPECT_EQ(f.font, nullptr);
}

TEST(CreateChar, LatinOnlyFaceTakesJapaneseFromAFallback) {
  Font f("DejaVu Sans", 24);
  ASSERT_NE(f.font, nullptr);
  EXPECT_NE(drawnAlpha(f.font, code("あ")), drawnAlpha(f.font, code("ぬ")));
}

TEST(CreateChar, NoFaceNameGivesTheDefaultJapaneseFont) {
  LbFont font = lbCreateChar(nullptr, 16, 3, 0, 1, 0x30);
  ASSERT_NE(font, nullptr);
  EXPECT_TRUE(lbRenderChar(font, code("字")));
  lbDestroyChar(font);
}

TEST(CreateChar, SizeZeroOrBelowIsRefused) {
  EXPECT_EQ(lbCreateChar(sjis(kGothic).c_str(), 0, 5, 0, 1, 0x21), nullptr);
  EXPECT_EQ(lbCreateChar(sjis(kGothic).c_str(), -12, 5, 0, 1, 0x21), nullptr);
  EXPECT_EQ(lbCreateChar(sjis(kGothic).c_str(), 1 << 20, 5, 0, 1, 0x30), nullptr);
  EXPECT_FALSE(lbDestroyChar(nullptr));
}

TEST(CreateChar, EmphasisKindsDrawHeavierThanBodyKinds) {
  Font body(kGothic, 24, 5), emphasis(kGothic, 24, 7);
  Font body3(kGothic, 24, 3), emphasis6(kGothic, 24, 6);
  EXPECT_GT(coverageSum(emphasis.font, code("証")), coverageSum(body.font, code("証")) * 11 / 10);
  EXPECT_GT(coverageSum(emphasis6.font, code("証")), coverageSum(body3.font, code("証")) * 11 / 10);
}

TEST(CreateChar, SmallSizeFlagsStillRenderEveryKind) {
  Font ruby(kGothic, 10, 3, 0x21);
  Glyph g = render(ruby.font, code("る"));
  ASSERT_TRUE(g.ok);
  EXPECT_GT(g.box.cx, 0);
  EXPECT_LE(g.box.cx, 12);
}

// How many times each font file is mapped into this process.
std::map<std::string, int> fontFileMappings() {
  std::map<std::string, int> count;
  std::ifstream maps("/proc/self/maps");
  for (std::string line; std::getline(maps, line);) {
    const size_t path = line.find('/');
    if (path == std::string::npos) continue;
    const std::string file = line.substr(path);
    for (const char* suffix : {".ttf", ".otf", ".ttc"}) {
      if (file.size() > 4 && file.compare(file.size() - 4, 4, suffix) == 0) ++count[file];
    }
  }
  return count;
}

TEST(CreateChar, FacesOfOneFileShareOneMappingOfIt) {
  // A message window's fonts: one face at many sizes and both weights, open together and
  // then closed (their faces kept for the next window).
  std::vector<std::unique_ptr<Font>> fonts;
  for (int size : {10, 16, 24, 32, 40, 48})
    for (int kind : {5, 7}) fonts.push_back(std::make_unique<Font>(kGothic, size, kind));
  for (const auto& font : fonts) ASSERT_TRUE(lbRenderChar(font->font, code("証")));
  std::map<std::string, int> open = fontFileMappings();
  ASSERT_FALSE(open.empty());
  for (const auto& [file, mappings] : open) EXPECT_EQ(mappings, 1) << file;

  fonts.clear();
  for (const auto& [file, mappings] : fontFileMappings()) EXPECT_EQ(mappings, 1) << file;
  // Faces are still made and drawn from the shared mapping after the others closed.
  Font again(kGothic, 20);
  EXPECT_TRUE(render(again.font, code("証")).ok);
}

// ---- rendering and metrics ---------------------------------------------------------------

TEST(RenderChar, AGlyphRenderedAgainDrawsAsItDidTheFirstTime) {
  std::string first;
  Glyph firstMetrics;
  {
    Font body(kGothic, 40, 5);
    first = drawnAlpha(body.font, code("証"));
    firstMetrics = render(body.font, code("証"));
    // Enough other characters to fill what the font keeps of its glyphs more than once.
    int drawn = 0;
    for (int lead = 0x89; lead <= 0x8F && drawn < 600; ++lead)
      for (int trail = 0x40; trail <= 0xFC && drawn < 600; ++trail)
        drawn += lbRenderChar(body.font, lead << 8 | trail);
    ASSERT_EQ(drawn, 600);
    EXPECT_EQ(drawnAlpha(body.font, code("証")), first);
    Glyph again = render(body.font, code("証"));
    EXPECT_EQ(again.box.cx, firstMetrics.box.cx);
    EXPECT_EQ(again.box.cy, firstMetrics.box.cy);
    EXPECT_EQ(again.pos.x, firstMetrics.pos.x);
    EXPECT_EQ(again.pos.y, firstMetrics.pos.y);
    EXPECT_EQ(again.feed.cx, firstMetrics.feed.cx);
  }
  // The emphasis font of the same face and size, opened after the body font closed, takes
  // its face over: it draws the character emboldened, not as the body font kept it.
  Font emphasis(kGothic, 40, 7);
  EXPECT_NE(drawnAlpha(emphasis.font, code("証")), first);
  Font body(kGothic, 40, 5);
  EXPECT_EQ(drawnAlpha(body.font, code("証")), first);
}

TEST(RenderChar, DoubleByteAdvanceIsTwiceSingleByte) {
  for (int size : {10, 16, 24, 32}) {
    Font f(kGothic, size);
    int single = render(f.font, 'A').feed.cx;
    int wide = render(f.font, code("あ")).feed.cx;
    EXPECT_NEAR(wide, 2 * single, 1) << size;
    EXPECT_NEAR(wide, size, 1) << size;
  }
}

TEST(RenderChar, HalfWidthKatakanaIsSingleByteAndNarrow) {
  Font f(kGothic, 24);
  Glyph g = render(f.font, code("ｱ"));
  ASSERT_TRUE(g.ok);
  EXPECT_LT(code("ｱ"), 256);
  EXPECT_NEAR(g.feed.cx, 12, 1);
}

TEST(RenderChar, DrawOffsetIsMeasuredFromTheTopOfTheLine) {
  Font f(kGothic, 24);
  Glyph h = render(f.font, 'H'), x = render(f.font, 'x'), p = render(f.font, 'p');
  // Letters sitting on the baseline end on the same row, whatever their height.
  EXPECT_EQ(h.pos.y + h.box.cy, x.pos.y + x.box.cy);
  EXPECT_LT(h.pos.y, x.pos.y);
  EXPECT_GT(p.pos.y + p.box.cy, h.pos.y + h.box.cy + 2);
  // The baseline lies in the lower part of a line as tall as the size.
  EXPECT_GT(h.pos.y, 0);
  EXPECT_GE(h.pos.y + h.box.cy, 24 * 3 / 4);
  EXPECT_LE(p.pos.y + p.box.cy, 24 + 1);
}

TEST(RenderChar, SpaceHasAnAdvanceButNoBox) {
  Font f(kGothic, 24);
  Glyph space = render(f.font, ' '), wide = render(f.font, code("　"));
  ASSERT_TRUE(space.ok && wide.ok);
  EXPECT_EQ(space.box.cx * space.box.cy, 0);
  EXPECT_NEAR(space.feed.cx, 12, 1);
  EXPECT_NEAR(wide.feed.cx, 24, 1);
}

TEST(RenderChar, InvalidCodesFailAndLeaveNoGlyph) {
  Font f(kGothic, 24);
  ASSERT_TRUE(lbRenderChar(f.font, 'A'));
  for (int bad : {0, -1, 0x80, 0xA0, 0xFF, 0x81, 0x8100, 0x817F, 0x81FD, 0x4142, 0xFF40, 0x10000}) {
    EXPECT_FALSE(lbRenderChar(f.font, bad)) << std::hex << bad;
    LbSize size{};
    LbPoint pos{};
    EXPECT_FALSE(lbGetCharBoxSize(&size, f.font));
    EXPECT_FALSE(lbGetCharDrawPos(&pos, f.font));
    EXPECT_FALSE(lbGetCharFeedSize(&size, f.font));
    Surface image(32, 32, 0);
    EXPECT_FALSE(lbtsDrawChar(image.image, 0, 0, f.font));
  }
  EXPECT_FALSE(lbRenderChar(nullptr, 'A'));
}

TEST(RenderChar, UnassignedDoubleByteCodeFails) {
  Font f(kGothic, 24);
  EXPECT_FALSE(lbRenderChar(f.font, 0x85A0));  // a row left empty in the character set
}

// ---- drawing into surfaces ---------------------------------------------------------------

TEST(DrawChar, CoverageRaisesAlphaAndKeepsTheFillColour) {
  Font f(kGothic, 24);
  Surface image(48, 48, 0x00FF8040);
  Glyph g = render(f.font, code("証"));
  ASSERT_TRUE(g.ok);
  uint64_t before = image->version;
  ASSERT_TRUE(lbtsDrawChar(image.image, 10, 12, f.font));
  EXPECT_GT(image->version, before);
  int opaque = 0;
  for (int y = 0; y < image->height; ++y) {
    for (int x = 0; x < image->width; ++x) {
      uint32_t p = image->pixels[y * image->width + x];
      ASSERT_EQ(p & 0x00FFFFFF, 0x00FF8040u) << x << "," << y;
      bool inBox = x >= 10 && x < 10 + g.box.cx && y >= 12 && y < 12 + g.box.cy;
      if (!inBox) {
        ASSERT_EQ(p >> 24, 0u) << x << "," << y;
      }
      opaque += (p >> 24) == 255;
    }
  }
  EXPECT_GT(opaque, 20);
}

TEST(DrawChar, AlphaIsNeverLoweredAndRedrawingChangesNothing) {
  Font f(kGothic, 24);
  Surface image(48, 48, 0x80FFFFFF);
  ASSERT_TRUE(lbRenderChar(f.font, code("心")));
  ASSERT_TRUE(lbtsDrawChar(image.image, 4, 4, f.font));
  std::vector<uint32_t> once = image->pixels;
  bool raised = false;
  for (uint32_t p : once) {
    ASSERT_GE(p >> 24, 0x80u);
    raised |= (p >> 24) > 0x80;
  }
  EXPECT_TRUE(raised);
  ASSERT_TRUE(lbtsDrawChar(image.image, 4, 4, f.font));
  EXPECT_EQ(image->pixels, once);
}

TEST(DrawChar, ClippedAtEveryEdgeWithoutWritingOutside) {
  Font f(kGothic, 32);
  ASSERT_TRUE(lbRenderChar(f.font, code("■")));
  LbSize box{};
  ASSERT_TRUE(lbGetCharBoxSize(&box, f.font));
  ASSERT_GT(box.cx, 16);
  const int w = 20, h = 12;
  const uint32_t guard = 0x12345678;
  for (auto [x, y] : {std::pair{-10, -10}, {w - 4, 2}, {2, h - 3}, {w - 2, h - 2}, {-box.cx + 1, 0},
                      {w, 0}, {0, h}, {-box.cx, -box.cy}, {1000, 1000}}) {
    Surface image(w, h, 0x00000000);
    image->pixels.resize(w * h + 64, guard);  // memory just past the surface
    ASSERT_TRUE(lbtsDrawChar(image.image, x, y, f.font));
    for (int i = w * h; i < w * h + 64; ++i) ASSERT_EQ(image->pixels[i], guard) << x << "," << y;
    for (int row = 0; row < h; ++row) {
      for (int col = 0; col < w; ++col) {
        bool inBox = col >= x && col < x + box.cx && row >= y && row < y + box.cy;
        if (!inBox) {
          ASSERT_EQ(image->pixels[row * w + col] >> 24, 0u) << x << "," << y << " at " << col << "," << row;
        }
      }
    }
  }
}

TEST(DrawChar, NothingToDrawWithoutARenderedGlyphOrImage) {
  Font f(kGothic, 24);
  Surface image(8, 8, 0);
  EXPECT_FALSE(lbtsDrawChar(image.image, 0, 0, f.font));
  ASSERT_TRUE(lbRenderChar(f.font, 'A'));
  EXPECT_FALSE(lbtsDrawChar(nullptr, 0, 0, f.font));
  EXPECT_FALSE(lbtsDrawChar(image.image, 0, 0, nullptr));
  // A handle the game kept after destroying the image is refused, never written through.
  LbImage gone = lbtsCreateImage(8, 8);
  ASSERT_TRUE(lbtsDestroyImage(gone));
  EXPECT_FALSE(lbtsDrawChar(gone, 0, 0, f.font));
}

}  // namespace

// fontconfig keeps a few bytes of its parsed configuration unreachable for the life of the
// process; that is fontconfig's, not ours, so the leak checker of sanitizer builds skips it.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
