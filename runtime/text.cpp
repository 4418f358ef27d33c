/*
 * Character fonts: face names mapped through fontconfig (with our own aliases for the
 * Windows Japanese faces) to installed fonts, glyphs rendered by FreeType one Shift-JIS
 * character at a time, and drawn into text surfaces by raising their alpha.
 */
#include "compositor.h"
#include "ledger.h"
#include "pixels.h"
#include "runtime.h"

#include "wincompat.h"

#include <fcntl.h>
#include <fontconfig/fontconfig.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

// An installed font file and the face within it.
struct FontFile {
  std::string path;
  int index = 0;
};

}  // namespace

// One face at one size, and the glyph lbRenderChar last prepared in it.
struct LbFontObject {
  FT_Face face = nullptr;
  FontFile faceFile;
  // A Japanese font for characters the face lacks, opened the first time one is asked for.
  FT_Face fallback = nullptr;
  FontFile fallbackFile;
  bool fallbackTried = false;
  int size = 0;
  bool embolden = false;     // emphasis asked for and the face has no bold of its own
  FT_Int32 loadFlags = 0;
  int ascender = 0;          // pixels from the top of a line to the baseline

  bool hasGlyph = false;
  int boxWidth = 0, boxHeight = 0;  // the drawn box
  int drawX = 0, drawY = 0;         // the box's offset from a pen at the top of the line
  int advance = 0;
  std::vector<uint8_t> coverage;    // boxWidth x boxHeight, reused from glyph to glyph
};

namespace {

// Fonts are made and destroyed under this lock: the FreeType library object and
// fontconfig's configuration are shared by every font.
std::mutex gMutex;
FT_Library gLibrary = nullptr;

// The largest size accepted: a bigger font would need glyph buffers of many megabytes
// and no text window shows one.
constexpr int kMaxFontSize = 1024;

bool startLibraries() {
  if (gLibrary) return true;
  if (!FcInit()) return false;
  // fontconfig's configuration and caches are released at exit (nothing of ours holds them:
  // a font keeps its file's path, not fontconfig's answer), so a leak checker finds none of
  // it; naming what it would find cost every process under the checker a fifth of a second.
  static const bool released = std::atexit([] { FcFini(); }) == 0;
  (void)released;
  return FT_Init_FreeType(&gLibrary) == 0;
}

// ---- Shift-JIS character codes --------------------------------------------------------

// CP932 code to Unicode, 0 for a code that is no character. Filled once from the same
// conversion the file names use, so text and names agree.
std::array<uint16_t, 65536> gUnicodeOf;
std::once_flag gUnicodeOnce;

bool isLeadByte(unsigned c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }
bool isTrailByte(unsigned c) { return c >= 0x40 && c <= 0xFC && c != 0x7F; }

uint32_t decodeOneUtf8(const char* text, int length) {
  const auto* s = reinterpret_cast<const unsigned char*>(text);
  if (length == 1 && s[0] < 0x80) return s[0];
  if (length == 2 && (s[0] & 0xE0) == 0xC0) return (s[0] & 0x1F) << 6 | (s[1] & 0x3F);
  if (length == 3 && (s[0] & 0xF0) == 0xE0)
    return (s[0] & 0x0F) << 12 | (s[1] & 0x3F) << 6 | (s[2] & 0x3F);
  return 0;  // more than one character, or outside the basic plane: not a CP932 character
}

void buildUnicodeTable() {
  gUnicodeOf.fill(0);
  char in[3] = {0, 0, 0};
  char out[16];
  auto convert = [&](unsigned code) {
    int n = compatSjisToUtf8(in, out, sizeof out);
    if (n > 0) gUnicodeOf[code] = static_cast<uint16_t>(decodeOneUtf8(out, n));
  };
  for (unsigned c = 1; c < 0x100; ++c) {
    if (isLeadByte(c) || c == 0x80 || c == 0xA0 || c >= 0xFD) continue;
    in[0] = static_cast<char>(c);
    in[1] = 0;
    convert(c);
  }
  for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
    if (!isLeadByte(lead)) continue;
    for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
      if (!isTrailByte(trail)) continue;
      in[0] = static_cast<char>(lead);
      in[1] = static_cast<char>(trail);
      convert(lead << 8 | trail);
    }
  }
}

uint32_t unicodeOf(int code) {
  if (code <= 0 || code > 0xFFFF) return 0;
  std::call_once(gUnicodeOnce, buildUnicodeTable);
  return gUnicodeOf[code];
}

// ---- face names -------------------------------------------------------------------------

// Face names reduced for comparison: full-width Latin letters and digits made half-width,
// blanks (half- and full-width) dropped, ASCII letters lowered. So the names as core spells
// them and their half-width spellings find the same alias.
std::string faceKey(const std::string& utf8) {
  std::string key;
  for (size_t i = 0; i < utf8.size();) {
    unsigned char c = utf8[i];
    uint32_t cp = c;
    size_t len = c < 0x80 ? 1 : (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : 4;
    if (len == 3 && i + 2 < utf8.size())
      cp = (c & 0x0F) << 12 | (utf8[i + 1] & 0x3F) << 6 | (utf8[i + 2] & 0x3F);
    if (cp >= 0xFF01 && cp <= 0xFF5E) {
      cp -= 0xFF01 - 0x21;
      len = 3;
    }
    if (cp == ' ' || cp == '\t' || cp == 0x3000) {
      i += len;
      continue;
    }
    if (cp < 0x80) {
      key += static_cast<char>(cp >= 'A' && cp <= 'Z' ? cp + ('a' - 'A') : cp);
    } else {
      key.append(utf8, i, len);
    }
    i += len;
  }
  return key;
}

// The Windows Japanese faces games name, and the installed faces drawn like them: the
// proportional ("P") faces map to proportional ones so line widths come out alike.
struct FaceAlias {
  const char* key;     // faceKey of the Windows name
  const char* family;  // fontconfig family
};
constexpr FaceAlias kFaceAliases[] = {
    {"msゴシック", "IPAGothic"},   {"mspゴシック", "IPAPGothic"},
    {"msuiゴシック", "IPAPGothic"}, {"msgothic", "IPAGothic"},
    {"mspgothic", "IPAPGothic"},   {"msuigothic", "IPAPGothic"},
    {"ms明朝", "IPAMincho"},       {"msp明朝", "IPAPMincho"},
    {"msmincho", "IPAMincho"},     {"mspmincho", "IPAPMincho"},
};

std::string aliasFamily(const std::string& utf8Face) {
  std::string key = faceKey(utf8Face);
  for (const FaceAlias& alias : kFaceAliases)
    if (key == alias.key) return alias.family;
  return utf8Face;
}

// Asks fontconfig for `family` (empty: any) that covers Japanese. Returns false when the
// requested family is not installed, so the caller can ask for any Japanese font instead
// of taking whatever Latin font fontconfig would substitute.
bool askFontconfig(const std::string& family, bool bold, FontFile& file) {
  FcPattern* pattern = FcPatternCreate();
  if (!family.empty())
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  FcPatternAddString(pattern, FC_LANG, reinterpret_cast<const FcChar8*>("ja"));
  FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  FcPatternDestroy(pattern);
  if (!match) return false;

  bool found = family.empty();
  FcChar8* name = nullptr;
  for (int i = 0; !found && FcPatternGetString(match, FC_FAMILY, i, &name) == FcResultMatch; ++i)
    found = FcStrCmpIgnoreCase(name, reinterpret_cast<const FcChar8*>(family.c_str())) == 0;
  FcChar8* path = nullptr;
  int index = 0;
  bool ok = found && FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch;
  if (ok) {
    FcPatternGetInteger(match, FC_INDEX, 0, &index);
    file.path = reinterpret_cast<const char*>(path);
    file.index = index;
  }
  FcPatternDestroy(match);
  return ok;
}

// askFontconfig, answered once per family and weight: the installed fonts do not change
// while the game runs, and a message window opens six fonts each time it is set up.
bool matchFont(const std::string& family, bool bold, FontFile& file) {
  static std::map<std::pair<std::string, bool>, std::optional<FontFile>> answers;
  auto [at, asked] = answers.try_emplace({family, bold});
  if (asked) {
    FontFile found;
    if (askFontconfig(family, bold, found)) at->second = found;
  }
  if (!at->second) return false;
  file = *at->second;
  return true;
}

// Faces of closed fonts, kept open for the next font of the same file and size: a message
// window opens six fonts each time it is set up, and opening a face reads and parses the
// font file again. A face is used by one font at a time; the installed fonts do not change
// while the game runs. Under gMutex.
struct IdleFace {
  FontFile file;
  int size = 0;
  FT_Face face = nullptr;
};
constexpr size_t kIdleFaceCount = 12;
// The most recently closed last. Its room is made once and a closed font's file moves in,
// so closing a font allocates nothing.
std::vector<IdleFace> gIdleFaces;

// The font files the faces are made from, each mapped into memory once for all its faces:
// FreeType on its own maps the whole file again for every face, and the faces of a message
// window (a dozen, with the idle ones) are mostly of one or two files of several megabytes.
// A file stays mapped while a face uses it. Under gMutex.
struct MappedFontFile {
  std::string path;
  const FT_Byte* bytes = nullptr;
  size_t size = 0;
  int faces = 0;
};
std::vector<MappedFontFile> gMappedFiles;

MappedFontFile* mapFontFile(const std::string& path) {
  for (MappedFontFile& mapped : gMappedFiles)
    if (mapped.path == path) return &mapped;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return nullptr;
  struct stat st {};
  void* bytes = MAP_FAILED;
  if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0)
    bytes = ::mmap(nullptr, static_cast<size_t>(st.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
  ::close(fd);
  if (bytes == MAP_FAILED) return nullptr;
  gMappedFiles.push_back(
      {path, static_cast<const FT_Byte*>(bytes), static_cast<size_t>(st.st_size), 0});
  return &gMappedFiles.back();
}

// Lets a face (or a face that could not be made: null) go, and its file's mapping with the
// file's last face.
void doneFace(FT_Face face, const std::string& path) {
  if (face) FT_Done_Face(face);
  auto mapped = std::find_if(gMappedFiles.begin(), gMappedFiles.end(),
                             [&](const MappedFontFile& m) { return m.path == path; });
  if (mapped == gMappedFiles.end() || --mapped->faces > 0) return;
  ::munmap(const_cast<FT_Byte*>(mapped->bytes), mapped->size);
  gMappedFiles.erase(mapped);
}

FT_Face openFace(const FontFile& file, int size) {
  for (auto at = gIdleFaces.rbegin(); at != gIdleFaces.rend(); ++at) {
    if (at->size == size && at->file.index == file.index && at->file.path == file.path) {
      FT_Face face = at->face;
      gIdleFaces.erase(std::next(at).base());
      return face;
    }
  }
  MappedFontFile* mapped = mapFontFile(file.path);
  if (!mapped) return nullptr;
  ++mapped->faces;
  FT_Face face = nullptr;
  if (FT_New_Memory_Face(gLibrary, mapped->bytes, static_cast<FT_Long>(mapped->size), file.index,
                         &face) != 0)
    face = nullptr;
  if (face && FT_Set_Pixel_Sizes(face, 0, size) == 0) return face;
  doneFace(face, file.path);
  return nullptr;
}

void closeFace(FontFile&& file, int size, FT_Face face) {
  if (!face) return;
  gIdleFaces.reserve(kIdleFaceCount);
  if (gIdleFaces.size() == kIdleFaceCount) {
    doneFace(gIdleFaces.front().face, gIdleFaces.front().file.path);
    gIdleFaces.erase(gIdleFaces.begin());
  }
  gIdleFaces.push_back({std::move(file), size, face});
}

// The Japanese font for characters the font's own face lacks; null when there is none.
FT_Face fallbackFace(LbFontObject& font) {
  if (!font.fallbackTried) {
    font.fallbackTried = true;
    std::lock_guard<std::mutex> lock(gMutex);
    FontFile file;
    if (matchFont("", false, file)) {
      font.fallback = openFace(file, font.size);
      font.fallbackFile = file;
    }
  }
  return font.fallback;
}

// ---- glyphs already rendered -------------------------------------------------------------

// The glyphs a face has rendered, so a character typed again is copied instead of being
// loaded, hinted and rendered once more: a page of text repeats most of its characters, and a
// face outlives the fonts that use it (a closed font leaves its face idle for the next). The
// store lives with the face (FreeType's client data, freed with the face) and, like the face,
// is used by one font at a time. Its room is made with it: a glyph kept or found allocates
// nothing, and a full store starts again. A font's face gets its store when the font is made,
// so the memory a game holds depends on the faces it keeps, not on which of them have drawn.
struct RenderedGlyph {
  uint32_t key = 0;  // 0: an empty place
  uint32_t at = 0;   // where its coverage starts in the store
  int width = 0, height = 0, drawX = 0, drawY = 0, advance = 0;
};
struct GlyphStore {
  std::vector<RenderedGlyph> places;  // open addressing, kGlyphPlaces of them
  std::vector<uint8_t> coverage;      // kGlyphStoreBytes of room
  size_t used = 0;
};
constexpr size_t kGlyphPlaces = 512;  // a power of two; at most three quarters are filled
constexpr size_t kGlyphStoreBytes = size_t{256} << 10;  // about 160 glyphs at 40 pixels

GlyphStore& glyphStoreOf(FT_Face face) {
  if (!face->generic.data) {
    auto* store = new GlyphStore;
    store->places.resize(kGlyphPlaces);
    store->coverage.reserve(kGlyphStoreBytes);
    face->generic.data = store;
    face->generic.finalizer = [](void* object) {
      delete static_cast<GlyphStore*>(static_cast<FT_Face>(object)->generic.data);
    };
  }
  return *static_cast<GlyphStore*>(face->generic.data);
}

// The character and how it is rendered (the hinting the font's flags ask for, emboldened or
// not): the fonts sharing a face may differ in both. Never 0.
uint32_t glyphKey(const LbFontObject& font, int code) {
  const uint32_t target = static_cast<uint32_t>(FT_LOAD_TARGET_MODE(font.loadFlags)) & 15;
  return static_cast<uint32_t>(code) | target << 16 | (font.embolden ? 1u << 20 : 0);
}

RenderedGlyph& placeOf(GlyphStore& store, uint32_t key) {
  size_t at = (key * 2654435761u) & (kGlyphPlaces - 1);
  while (store.places[at].key != 0 && store.places[at].key != key)
    at = (at + 1) & (kGlyphPlaces - 1);
  return store.places[at];
}

// The font's glyph as the store kept it; false when it is not kept.
bool findRenderedGlyph(LbFontObject& font, int code) {
  GlyphStore& store = glyphStoreOf(font.face);
  const RenderedGlyph& kept = placeOf(store, glyphKey(font, code));
  if (kept.key == 0) return false;
  const uint8_t* coverage = store.coverage.data() + kept.at;
  font.coverage.assign(coverage, coverage + static_cast<size_t>(kept.width) * kept.height);
  font.boxWidth = kept.width;
  font.boxHeight = kept.height;
  font.drawX = kept.drawX;
  font.drawY = kept.drawY;
  font.advance = kept.advance;
  font.hasGlyph = true;
  return true;
}

// Keeps the glyph the font has just rendered.
void keepRenderedGlyph(LbFontObject& font, int code) {
  GlyphStore& store = glyphStoreOf(font.face);
  const size_t bytes = font.coverage.size();
  if (bytes > kGlyphStoreBytes) return;
  if (store.used == kGlyphPlaces * 3 / 4 || store.coverage.size() + bytes > kGlyphStoreBytes) {
    std::fill(store.places.begin(), store.places.end(), RenderedGlyph{});
    store.coverage.clear();
    store.used = 0;
  }
  const uint32_t key = glyphKey(font, code);
  placeOf(store, key) = {key, static_cast<uint32_t>(store.coverage.size()), font.boxWidth,
                         font.boxHeight, font.drawX, font.drawY, font.advance};
  store.coverage.insert(store.coverage.end(), font.coverage.begin(), font.coverage.end());
  ++store.used;
}

// Copies the rendered bitmap of `slot` into the font's coverage buffer as 0..255 values.
void keepCoverage(LbFontObject& font, const FT_Bitmap& bitmap) {
  font.boxWidth = static_cast<int>(bitmap.width);
  font.boxHeight = static_cast<int>(bitmap.rows);
  font.coverage.resize(static_cast<size_t>(font.boxWidth) * font.boxHeight);
  for (int row = 0; row < font.boxHeight; ++row) {
    const unsigned char* src = bitmap.buffer + static_cast<ptrdiff_t>(row) * bitmap.pitch;
    uint8_t* dst = font.coverage.data() + static_cast<size_t>(row) * font.boxWidth;
    if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO) {
      for (int x = 0; x < font.boxWidth; ++x) dst[x] = (src[x >> 3] >> (7 - (x & 7)) & 1) ? 255 : 0;
    } else if (bitmap.num_grays == 256 || bitmap.num_grays <= 1) {
      std::memcpy(dst, src, font.boxWidth);
    } else {
      const int top = bitmap.num_grays - 1;
      for (int x = 0; x < font.boxWidth; ++x) dst[x] = static_cast<uint8_t>(src[x] * 255 / top);
    }
  }
}

// A font of an installed face (fontconfig family, UTF-8; empty: any Japanese font) at size
// pixels; null when the face is not installed or cannot be opened.
std::unique_ptr<LbFontObject> makeFont(const std::string& utf8Face, int size, bool bold,
                                       int flags) {
  if (size <= 0 || size > kMaxFontSize) return nullptr;
  auto font = std::make_unique<LbFontObject>();
  {
    std::lock_guard<std::mutex> lock(gMutex);
    if (!startLibraries()) return nullptr;
    FontFile file;
    std::string family = aliasFamily(utf8Face);
    // A named face that is not installed is refused, so the game reports the name an author
    // mistyped instead of quietly drawing in another face; no name asks for any Japanese font.
    if (!matchFont(family, bold, file)) return nullptr;
    font->face = openFace(file, size);
    if (!font->face) return nullptr;
    glyphStoreOf(font->face);  // made with the face, not at its first glyph: see GlyphStore
    font->faceFile = file;
    // fontconfig reports a regular face as bold when it would have it emboldened, so the
    // face itself says whether it is bold.
    font->embolden = bold && !(font->face->style_flags & FT_STYLE_FLAG_BOLD);
  }
  font->size = size;
  font->loadFlags = FT_LOAD_NO_BITMAP | (flags == 0x21 ? FT_LOAD_TARGET_NORMAL : FT_LOAD_TARGET_LIGHT);
  const FT_Size_Metrics& metrics = font->face->size->metrics;
  font->ascender = static_cast<int>((FT_MulFix(font->face->ascender, metrics.y_scale) + 32) >> 6);
  // Room for any glyph of this size, so rendering characters does not allocate.
  font->coverage.reserve(static_cast<size_t>(size * 2 + 8) * (size * 2 + 8));
  return font;
}

void freeFont(LbFont font) {
  std::lock_guard<std::mutex> lock(gMutex);
  closeFace(std::move(font->fallbackFile), font->size, font->fallback);
  closeFace(std::move(font->faceFile), font->size, font->face);
  delete font;
}

}  // namespace

LbFont openRuntimeFont(const char* utf8Family, int size, bool bold) {
  std::unique_ptr<LbFontObject> font = makeFont(utf8Family ? utf8Family : "", size, bold, 0x30);
  if (!font && utf8Family && *utf8Family) font = makeFont("", size, bold, 0x30);
  return font.release();
}

void closeRuntimeFont(LbFont font) {
  if (font) freeFont(font);
}

const uint8_t* glyphCoverage(LbFont font, int& width, int& height) {
  if (!font || !font->hasGlyph) return nullptr;
  width = font->boxWidth;
  height = font->boxHeight;
  return font->coverage.data();
}

extern "C" {

// kind: 6 and 7 ask for the emphasis (bold) rendering, every other kind the regular one;
// the face's own bold is used where installed, else the outline is emboldened.
// flags: an antialiasing hint. 0x21, which core gives small sizes, hints the outline fully
// so thin strokes snap to whole pixels; other values (0x30 for larger text) hint lightly
// to keep the letter shapes. value2 and value3 carry nothing we use.
LbFont lbCreateChar(const char* face, int size, int kind, int value2, int value3, int flags) {
  (void)value2;
  (void)value3;
  std::string utf8Face;
  if (face && *face) {
    char buffer[1024];
    if (compatSjisToUtf8(face, buffer, sizeof buffer) >= 0) utf8Face = buffer;
  }
  return counted(HostObject::Font, makeFont(utf8Face, size, kind == 6 || kind == 7, flags).release());
}

int lbDestroyChar(LbFont font) {
  if (!font) return 0;
  ledgerDestroyed(HostObject::Font);
  freeFont(font);
  return 1;
}

int lbRenderChar(LbFont font, int code) {
  if (!font) return 0;
  font->hasGlyph = false;
  uint32_t cp = unicodeOf(code);
  if (cp == 0) return 0;
  if (findRenderedGlyph(*font, code)) return 1;

  FT_Face face = font->face;
  FT_UInt index = FT_Get_Char_Index(face, cp);
  if (index == 0) {
    // The face lacks the character: a Japanese font draws it; if none has it either, the
    // face's "missing" glyph shows that something is missing rather than nothing.
    FT_Face other = fallbackFace(*font);
    FT_UInt otherIndex = other ? FT_Get_Char_Index(other, cp) : 0;
    if (otherIndex != 0) {
      face = other;
      index = otherIndex;
    }
  }
  if (FT_Load_Glyph(face, index, font->loadFlags) != 0) return 0;
  FT_GlyphSlot slot = face->glyph;
  if (font->embolden) FT_GlyphSlot_Embolden(slot);
  if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0) return 0;

  keepCoverage(*font, slot->bitmap);
  font->drawX = slot->bitmap_left;
  font->drawY = font->ascender - slot->bitmap_top;
  font->advance = static_cast<int>((slot->advance.x + 32) >> 6);
  font->hasGlyph = true;
  keepRenderedGlyph(*font, code);
  return 1;
}

int lbGetCharBoxSize(LbSize* size, LbFont font) {
  if (!size || !font || !font->hasGlyph) return 0;
  size->cx = font->boxWidth;
  size->cy = font->boxHeight;
  return 1;
}

int lbGetCharDrawPos(LbPoint* offset, LbFont font) {
  if (!offset || !font || !font->hasGlyph) return 0;
  offset->x = font->drawX;
  offset->y = font->drawY;
  return 1;
}

int lbGetCharFeedSize(LbSize* size, LbFont font) {
  if (!size || !font || !font->hasGlyph) return 0;
  size->cx = font->advance;
  size->cy = font->size;
  return 1;
}

// The glyph's coverage raises the alpha of the surface and nothing else: the surface was
// filled with the text colour at zero alpha, so the glyph shows in that colour, and
// overlapping glyphs keep the stronger coverage instead of adding up.
int lbtsDrawChar(LbImage image, int x, int y, LbFont font) {
  if (!isLiveImage(image) || !font || !font->hasGlyph) return 0;
  const int x0 = std::max(0, x), x1 = std::min(image->width, x + font->boxWidth);
  const int y0 = std::max(0, y), y1 = std::min(image->height, y + font->boxHeight);
  if (x0 >= x1 || y0 >= y1) return 1;
  if (image->pixels.size() < static_cast<size_t>(image->width) * image->height) return 0;
  for (int row = y0; row < y1; ++row) {
    const uint8_t* src =
        font->coverage.data() + static_cast<size_t>(row - y) * font->boxWidth + (x0 - x);
    uint32_t* dst = image->pixels.data() + static_cast<size_t>(row) * image->width + x0;
    raiseAlpha(dst, src, static_cast<size_t>(x1 - x0));
  }
  imageWritten(*image, {x0, y0, x1, y1});
  return 1;
}

}  // extern "C"
