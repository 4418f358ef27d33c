/*
 * The settings screen's picture: the game's frame dimmed, a panel with one row per setting
 * (name, English gloss, slider, switch or choice), the selected row marked, and a line of
 * key hints. Shapes are coverage masks worked out here; pixman blends them, and the text is
 * the runtime's own FreeType glyphs.
 */
#include "settings_screen.h"

#include "compositor.h"
#include "runtime.h"

#include <wincompat.h>

#include <pixman.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>

namespace {

// ---- Layout ---------------------------------------------------------------------------------

constexpr int kPanelX = 100, kPanelW = 600;
constexpr int kRowH = 44;
constexpr int kTitleH = 64;          // from the panel's top to the first row's rule
constexpr int kCloseGap = 10;        // between the last setting and the Close button
constexpr int kFooterH = 52;         // the hint line under the Close button
constexpr int kValueX = 400, kValueRight = 664;
constexpr int kTrackW = 170;
constexpr int kCloseW = 200;

int panelHeight(int count) { return 20 + kTitleH + 14 + count * kRowH + kCloseGap + kFooterH; }
int panelTop(int count) { return (kFrameHeight - panelHeight(count)) / 2; }
int rowTop(int index, int count) {
  int y = panelTop(count) + 20 + kTitleH + 14 + index * kRowH;
  return index == count - 1 ? y + kCloseGap : y;
}

// ---- Colours --------------------------------------------------------------------------------

struct Colour { int r, g, b; double a = 1.0; };

const Colour kPanel{18, 22, 34, 0.95}, kBorder{122, 138, 178, 0.55}, kRule{122, 138, 178, 0.35};
const Colour kText{242, 242, 246}, kGloss{146, 152, 170}, kDimmed{104, 108, 122};
const Colour kAccent{244, 190, 76}, kTrack{70, 76, 96}, kKnob{250, 250, 252};
const Colour kSelected{244, 190, 76, 0.15}, kButton{44, 52, 74}, kOff{86, 92, 110};

// pixman takes premultiplied 16-bit colours.
pixman_color_t premultiplied(const Colour& c) {
  auto channel = [&](int v) { return uint16_t(std::lround(v * 257 * c.a)); };
  return {channel(c.r), channel(c.g), channel(c.b), uint16_t(std::lround(65535 * c.a))};
}

struct PixmanDeleter {
  void operator()(pixman_image_t* image) const {
    if (image) pixman_image_unref(image);
  }
};
using PixmanImage = std::unique_ptr<pixman_image_t, PixmanDeleter>;

// A coverage mask: 0..255 per pixel, rows padded to four bytes as pixman wants.
struct Mask {
  int w = 0, h = 0, stride = 0;
  std::vector<uint8_t> a;
  Mask(int width, int height)
      : w(std::max(width, 1)), h(std::max(height, 1)), stride((w + 3) & ~3),
        a(size_t(stride) * h, 0) {}
  uint8_t& at(int x, int y) { return a[size_t(y) * stride + x]; }
};

// A rounded rectangle of w x h with corner radius r, edges antialiased by their distance.
Mask roundedRect(int w, int h, double r) {
  Mask m(w, h);
  r = std::min({r, w / 2.0, h / 2.0});
  const double hx = w / 2.0, hy = h / 2.0;
  for (int y = 0; y < m.h; ++y)
    for (int x = 0; x < m.w; ++x) {
      double qx = std::fabs(x + 0.5 - hx) - (hx - r), qy = std::fabs(y + 0.5 - hy) - (hy - r);
      double outside = std::hypot(std::max(qx, 0.0), std::max(qy, 0.0));
      double d = outside + std::min(std::max(qx, qy), 0.0) - r;
      m.at(x, y) = uint8_t(std::lround(std::clamp(0.5 - d, 0.0, 1.0) * 255));
    }
  return m;
}

// A triangle pointing left or right inside w x h, sampled 4 x 4 per pixel.
Mask arrow(int w, int h, bool right) {
  Mask m(w, h);
  const double x0 = right ? 0 : w, x1 = right ? w : 0;
  auto inside = [&](double x, double y) {
    double t = (x - x0) / (x1 - x0);  // 0 at the base, 1 at the point
    return t >= 0 && t <= 1 && std::fabs(y - h / 2.0) <= (1 - t) * h / 2.0;
  };
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      int hits = 0;
      for (int sy = 0; sy < 4; ++sy)
        for (int sx = 0; sx < 4; ++sx) hits += inside(x + (sx + 0.5) / 4, y + (sy + 0.5) / 4);
      m.at(x, y) = uint8_t(hits * 255 / 16);
    }
  return m;
}

// Draws into an 800x600 frame of opaque 0xAARRGGBB pixels.
class Canvas {
 public:
  explicit Canvas(std::vector<uint32_t>& frame)
      : dst_(pixman_image_create_bits(PIXMAN_a8r8g8b8, kFrameWidth, kFrameHeight, frame.data(),
                                      kFrameWidth * 4)) {}

  void fill(const Box& b, const Colour& c) {
    pixman_color_t colour = premultiplied(c);
    pixman_rectangle16_t rect{int16_t(b.x), int16_t(b.y), uint16_t(b.w), uint16_t(b.h)};
    pixman_image_fill_rectangles(PIXMAN_OP_OVER, dst_.get(), &colour, 1, &rect);
  }

  void paint(const Mask& m, int x, int y, const Colour& c) {
    pixman_color_t colour = premultiplied(c);
    PixmanImage src(pixman_image_create_solid_fill(&colour));
    PixmanImage mask(pixman_image_create_bits(PIXMAN_a8, m.w, m.h,
                                              reinterpret_cast<uint32_t*>(const_cast<uint8_t*>(m.a.data())),
                                              m.stride));
    if (!src || !mask || !dst_) return;
    pixman_image_composite32(PIXMAN_OP_OVER, src.get(), mask.get(), dst_.get(), 0, 0, 0, 0, x, y,
                             m.w, m.h);
  }

  void rounded(const Box& b, double r, const Colour& c) { paint(roundedRect(b.w, b.h, r), b.x, b.y, c); }

  // The text's width in pixels.
  int measure(LbFont font, const std::string& utf8) { return layout(font, utf8, nullptr); }

  // Writes a line of text whose em box starts at top; x is its left edge, centre or right
  // edge as align is -1, 0 or 1. Returns the width.
  int text(LbFont font, int size, int x, int top, const std::string& utf8, const Colour& c,
           int align = -1) {
    if (!font) return 0;
    int width = measure(font, utf8);
    Mask m(width + size, size * 3 / 2 + 2);
    layout(font, utf8, &m);
    int left = align < 0 ? x : align == 0 ? x - width / 2 : x - width;
    paint(m, left - size / 2, top - 1, c);
    return width;
  }

 private:
  // Lays the glyphs out along a pen from the left; with a mask, draws their coverage into it
  // (the mask's origin half a size left of the pen's start and a pixel above the line).
  int layout(LbFont font, const std::string& utf8, Mask* into) {
    if (!font) return 0;
    std::vector<char> sjis(utf8.size() * 2 + 1);
    if (compatUtf8ToSjis(utf8.c_str(), sjis.data(), sjis.size()) < 0) return 0;
    LbSize feed{};
    LbPoint at{};
    int pen = 0, size = 0;
    for (const char* s = sjis.data(); *s;) {
      int code = uint8_t(*s++);
      bool lead = (code >= 0x81 && code <= 0x9F) || (code >= 0xE0 && code <= 0xFC);
      if (lead && *s) code = code << 8 | uint8_t(*s++);
      if (!lbRenderChar(font, code) || !lbGetCharFeedSize(&feed, font)) continue;
      size = feed.cy;
      int w = 0, h = 0;
      const uint8_t* cover = glyphCoverage(font, w, h);
      if (into && cover && lbGetCharDrawPos(&at, font)) {
        for (int row = 0; row < h; ++row)
          for (int col = 0; col < w; ++col) {
            int mx = size / 2 + pen + at.x + col, my = 1 + at.y + row;
            if (mx < 0 || my < 0 || mx >= into->w || my >= into->h) continue;
            uint8_t& cell = into->at(mx, my);
            cell = std::max(cell, cover[size_t(row) * w + col]);
          }
      }
      pen += feed.cx;
    }
    return pen;
  }

  PixmanImage dst_;
};

// The title's, the rows' and the hints' sizes.
constexpr int kTitleSize = 26, kLabelSize = 18, kGlossSize = 11, kHintSize = 13;
constexpr int kValueSize = kLabelSize;

}  // namespace

Box settingsPanel(int count) { return {kPanelX, panelTop(count), kPanelW, panelHeight(count)}; }

Box settingsRow(int index, int count) {
  int y = rowTop(index, count);
  if (index == count - 1) return {(kFrameWidth - kCloseW) / 2, y + 4, kCloseW, kRowH - 8};
  return {kPanelX + 16, y, kPanelW - 32, kRowH};
}

Box settingsTrack(int index, int count) {
  return {kValueX, rowTop(index, count) + kRowH / 2 - 3, kTrackW, 6};
}

Box settingsLessArrow(int index, int count) {
  return {kValueX, rowTop(index, count) + 8, 28, kRowH - 16};
}

Box settingsMoreArrow(int index, int count) {
  return {kValueRight - 28, rowTop(index, count) + 8, 28, kRowH - 16};
}

SettingsPainter::SettingsPainter() {
  // The proportional gothic face keeps Latin text even; any Japanese font will do otherwise.
  title_ = openRuntimeFont("IPAPGothic", kTitleSize, true);
  label_ = openRuntimeFont("IPAPGothic", kLabelSize, false);
  gloss_ = openRuntimeFont("IPAPGothic", kGlossSize, false);
  hint_ = openRuntimeFont("IPAPGothic", kHintSize, false);
  if (!title_ || !label_ || !gloss_ || !hint_)
    std::fprintf(stderr, "orvane: no Japanese font is installed: the settings screen has no text\n");
}

SettingsPainter::~SettingsPainter() {
  for (LbFont f : {title_, label_, gloss_, hint_}) closeRuntimeFont(f);
}

void SettingsPainter::paint(const std::vector<uint32_t>& background, const SettingsView& view,
                            std::vector<uint32_t>& out) {
  out = background;
  out.resize(size_t(kFrameWidth) * kFrameHeight, 0xFF000000u);
  Canvas c(out);
  const int count = int(view.rows.size());
  c.fill({0, 0, kFrameWidth, kFrameHeight}, {0, 0, 0, 0.62});

  // The panel with a thin border: the border's shape, then the panel one pixel inside it.
  Box panel = settingsPanel(count);
  c.rounded(panel, 14, kBorder);
  c.rounded({panel.x + 1, panel.y + 1, panel.w - 2, panel.h - 2}, 13, kPanel);

  int titleTop = panel.y + 20 + (kTitleH - 14 - kTitleSize) / 2;
  int titleW = c.text(title_, kTitleSize, panel.x + 40, titleTop, "設定", kText);
  c.text(hint_, kHintSize, panel.x + 40 + titleW + 12, titleTop + kTitleSize - kHintSize - 2,
         "Settings", kGloss);
  c.fill({panel.x + 24, panel.y + 20 + kTitleH, panel.w - 48, 1}, kRule);

  for (int i = 0; i < count; ++i) {
    const SettingsRowView& row = view.rows[size_t(i)];
    const bool selected = i == view.selected;
    Box box = settingsRow(i, count);
    const int mid = box.y + box.h / 2;
    if (row.kind == SettingsRowView::Button) {
      c.rounded(box, box.h / 2.0, selected ? kAccent : kButton);
      const Colour& ink = selected ? Colour{24, 24, 30} : kText;
      int w = c.measure(label_, row.label) + 10 + c.measure(gloss_, row.gloss);
      int left = box.x + (box.w - w) / 2;
      int lw = c.text(label_, kLabelSize, left, mid - kLabelSize / 2, row.label, ink);
      c.text(gloss_, kGlossSize, left + lw + 10, mid - kGlossSize / 2 + 2, row.gloss,
             selected ? Colour{60, 52, 30} : kGloss);
      continue;
    }
    if (selected) {
      c.rounded(box, 8, kSelected);
      c.rounded({box.x + 6, box.y + 10, 4, box.h - 20}, 2, kAccent);
    }
    c.text(label_, kLabelSize, box.x + 24, box.y + 5, row.label, selected ? kAccent : kText);
    c.text(gloss_, kGlossSize, box.x + 24, box.y + 28, row.gloss, kGloss);

    const Colour& ink = row.enabled ? kText : kDimmed;
    switch (row.kind) {
      case SettingsRowView::Slider: {
        Box track = settingsTrack(i, count);
        c.rounded(track, 3, kTrack);
        int filled = int(std::lround(track.w * std::clamp(row.fraction, 0.0, 1.0)));
        if (filled > 0) c.rounded({track.x, track.y, filled, track.h}, 3, row.enabled ? kAccent : kOff);
        c.rounded({track.x + filled - 8, mid - 8, 16, 16}, 8, selected ? kKnob : Colour{210, 212, 220});
        c.text(label_, kValueSize, kValueRight, mid - kValueSize / 2, row.value, ink, 1);
        break;
      }
      case SettingsRowView::Toggle: {
        Box sw{kValueX, mid - 12, 48, 24};
        c.rounded(sw, 12, row.on && row.enabled ? kAccent : kOff);
        c.rounded({sw.x + (row.on ? 26 : 2), sw.y + 2, 20, 20}, 10, kKnob);
        c.text(label_, kValueSize, sw.x + sw.w + 14, mid - kValueSize / 2, row.value, ink);
        break;
      }
      case SettingsRowView::Choice: {
        Box less = settingsLessArrow(i, count), more = settingsMoreArrow(i, count);
        const Colour& tip = selected ? kAccent : kGloss;
        c.paint(arrow(10, 14, false), less.x + 8, mid - 7, tip);
        c.paint(arrow(10, 14, true), more.x + 10, mid - 7, tip);
        c.text(label_, kValueSize, (less.x + more.x + more.w) / 2, mid - kValueSize / 2, row.value,
               ink, 0);
        break;
      }
      case SettingsRowView::Button: break;
    }
  }

  Box close = settingsRow(count - 1, count);
  c.text(hint_, kHintSize, kFrameWidth / 2, close.y + close.h + 14,
         "↑↓ 選ぶ　　←→ 変える　　Enter 決定　　Esc・F1 閉じる", kGloss, 0);
}
