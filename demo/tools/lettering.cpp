/*
 * Lettering for the generated pictures: finds the installed Japanese mincho and gothic faces
 * through fontconfig, renders glyphs with FreeType and unions their coverage into a mask.
 * A face that is not installed stops the generator; it never falls back to boxes.
 */
#include "assetgen.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <map>
#include <stdexcept>

namespace assetgen {
namespace {

FT_Library gLibrary = nullptr;
std::map<Face, FT_Face> gFaces;

FT_Library library() {
  if (!gLibrary && FT_Init_FreeType(&gLibrary) != 0) {
    gLibrary = nullptr;
    throw std::runtime_error("FreeType cannot be initialised");
  }
  return gLibrary;
}

std::string fontFileFor(const char* family) {
  FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(family));
  if (!pattern) throw std::runtime_error(std::string("bad font pattern ") + family);
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  FcPatternDestroy(pattern);
  std::string file, foundFamily;
  if (match) {
    FcChar8* value = nullptr;
    if (FcPatternGetString(match, FC_FILE, 0, &value) == FcResultMatch)
      file = reinterpret_cast<const char*>(value);
    // A family can have several names (its English and Japanese ones); any may match.
    for (int i = 0; FcPatternGetString(match, FC_FAMILY, i, &value) == FcResultMatch; ++i)
      if (std::string(reinterpret_cast<const char*>(value)) == family) foundFamily = family;
    FcPatternDestroy(match);
  }
  // fontconfig always answers with something; only the face asked for will do, so the
  // pictures never change with whatever happens to be installed.
  if (file.empty() || foundFamily.empty())
    throw std::runtime_error(std::string("the font ") + family +
                             " is not installed (scripts/install-deps installs it)");
  return file;
}

FT_Face faceFor(Face face) {
  auto it = gFaces.find(face);
  if (it != gFaces.end()) return it->second;
  std::string file = fontFileFor(face == Face::Mincho   ? "IPAMincho"
                                 : face == Face::Gothic ? "IPAGothic"
                                                        : "IPAPMincho");
  FT_Face f = nullptr;
  if (FT_New_Face(library(), file.c_str(), 0, &f) != 0)
    throw std::runtime_error("FreeType cannot open " + file);
  gFaces[face] = f;
  return f;
}

// Decodes UTF-8 into code points; malformed input is a bug in the generator's own strings.
std::vector<char32_t> decodeUtf8(const std::string& s) {
  std::vector<char32_t> out;
  for (size_t i = 0; i < s.size();) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    int extra = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : -1;
    if (extra < 0 || i + size_t(extra) >= s.size())
      throw std::runtime_error("malformed UTF-8 in a lettering string");
    char32_t cp = extra == 0 ? c : (c & (0x3f >> extra));
    for (int k = 1; k <= extra; ++k) {
      unsigned char t = static_cast<unsigned char>(s[i + size_t(k)]);
      if ((t >> 6) != 2) throw std::runtime_error("malformed UTF-8 in a lettering string");
      cp = (cp << 6) | (t & 0x3f);
    }
    out.push_back(cp);
    i += size_t(extra) + 1;
  }
  return out;
}

// Renders one glyph and unions it into the mask with its origin at (x, baseline); returns
// the advance in pixels.
float drawGlyph(Mask* mask, FT_Face f, int pixelSize, char32_t cp, float x, float baseline) {
  if (FT_Set_Pixel_Sizes(f, 0, FT_UInt(pixelSize)) != 0)
    throw std::runtime_error("font size not available");
  FT_UInt index = FT_Get_Char_Index(f, FT_ULong(cp));
  if (index == 0) throw std::runtime_error("a lettering character has no glyph in its face");
  if (FT_Load_Glyph(f, index, FT_LOAD_DEFAULT) != 0)
    throw std::runtime_error("glyph cannot be loaded");
  float advance = float(f->glyph->advance.x) / 64.0f;
  if (!mask) return advance;
  if (FT_Render_Glyph(f->glyph, FT_RENDER_MODE_NORMAL) != 0)
    throw std::runtime_error("glyph cannot be rendered");
  const FT_Bitmap& bm = f->glyph->bitmap;
  int left = int(std::lround(x)) + f->glyph->bitmap_left;
  int top = int(std::lround(baseline)) - f->glyph->bitmap_top;
  for (unsigned row = 0; row < bm.rows; ++row)
    for (unsigned col = 0; col < bm.width; ++col) {
      int px = left + int(col), py = top + int(row);
      if (px < 0 || py < 0 || px >= mask->width || py >= mask->height) continue;
      float cov = float(bm.buffer[size_t(row) * size_t(std::abs(bm.pitch)) + col]) / 255.0f;
      float& v = mask->v[size_t(py) * size_t(mask->width) + size_t(px)];
      v = std::max(v, cov);
    }
  return advance;
}

}  // namespace

void closeLettering() {
  for (auto& [face, f] : gFaces) FT_Done_Face(f);
  gFaces.clear();
  if (gLibrary) FT_Done_FreeType(gLibrary);
  gLibrary = nullptr;
  FcFini();  // fontconfig keeps its configuration until told to let it go
}

float drawText(Mask& mask, Face face, int pixelSize, const std::string& utf8, float x,
               float baseline, float tracking) {
  FT_Face f = faceFor(face);
  float pen = x;
  for (char32_t cp : decodeUtf8(utf8))
    pen += drawGlyph(&mask, f, pixelSize, cp, pen, baseline) + tracking;
  return pen - x;
}

float measureText(Face face, int pixelSize, const std::string& utf8, float tracking) {
  FT_Face f = faceFor(face);
  float width = 0;
  auto cps = decodeUtf8(utf8);
  for (char32_t cp : cps) width += drawGlyph(nullptr, f, pixelSize, cp, 0, 0) + tracking;
  // Tracking separates characters; none is added after the last one.
  if (!cps.empty()) width -= tracking;
  return width;
}

void drawTextCentred(Mask& mask, Face face, int pixelSize, const std::string& utf8, float cx,
                     float baseline, float tracking) {
  drawText(mask, face, pixelSize, utf8, cx - measureText(face, pixelSize, utf8, tracking) / 2,
           baseline, tracking);
}

void drawTextVertical(Mask& mask, Face face, int pixelSize, const std::string& utf8, float cx,
                      float top, float step) {
  FT_Face f = faceFor(face);
  float y = top;
  for (char32_t cp : decodeUtf8(utf8)) {
    float advance = drawGlyph(nullptr, f, pixelSize, cp, 0, 0);
    // Full-width characters sit on a baseline about 0.88 of the em below the cell top.
    drawGlyph(&mask, f, pixelSize, cp, cx - advance / 2, y + float(pixelSize) * 0.88f);
    y += step;
  }
}

}  // namespace assetgen
