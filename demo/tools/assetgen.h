/*
 * The bundled game's asset generator: everything it draws and synthesises, and the one
 * table of the files it writes. Pictures are painted into float canvases with anti-aliased
 * shapes, soft glows and FreeType lettering; sounds are mixed from simple waves.
 */
#ifndef ORVANE_DEMO_ASSETGEN_H
#define ORVANE_DEMO_ASSETGEN_H

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace assetgen {

// ---- canvas.cpp: pixels, coverage masks, shapes, noise --------------------------------

// A straight (not premultiplied) colour, components 0 to 1.
struct Rgba {
  float r = 0, g = 0, b = 0, a = 1;
};
Rgba hex(uint32_t rgb, float alpha = 1);       // 0xRRGGBB
Rgba mix(Rgba a, Rgba b, float t);              // a at t = 0, b at t = 1

// A picture being painted: premultiplied RGBA floats, row-major.
struct Canvas {
  int width = 0, height = 0;
  std::vector<float> px;  // 4 floats per pixel
};
Canvas makeCanvas(int width, int height, Rgba fill = {0, 0, 0, 0});
Rgba pixelAt(const Canvas& canvas, int x, int y);  // straight colour
// Paints colour over the pixel with the given coverage (0 to 1).
void blendPixel(Canvas& canvas, int x, int y, Rgba colour, float coverage);
// Every pixel from colourAt(x, y), replacing what was there.
void fillWith(Canvas& canvas, const std::function<Rgba(int, int)>& colourAt);
// Vertical gradient through (y, colour) stops sorted by y.
void fillVertical(Canvas& canvas, const std::vector<std::pair<float, Rgba>>& stops);
// Paints src over dst with its top-left corner at (x, y).
void drawCanvas(Canvas& dst, const Canvas& src, int x, int y);
// Multiplies every pixel's alpha (and so its premultiplied colour) by factor.
void fadeCanvas(Canvas& canvas, float factor);

// A coverage mask: one float 0 to 1 per pixel. Shapes are unioned into it (max).
struct Mask {
  int width = 0, height = 0;
  std::vector<float> v;
  float at(int x, int y) const { return v[size_t(y) * size_t(width) + size_t(x)]; }
};
Mask makeMask(int width, int height);
void maskCircle(Mask& mask, float cx, float cy, float radius, float feather = 1);
void maskRing(Mask& mask, float cx, float cy, float radius, float thickness, float feather = 1);
void maskRoundRect(Mask& mask, float x0, float y0, float x1, float y1, float radius,
                   float feather = 1);
// Outline of a rounded rectangle, `thickness` wide, centred on its edge.
void maskRoundRectOutline(Mask& mask, float x0, float y0, float x1, float y1, float radius,
                          float thickness, float feather = 1);
struct Point {
  float x, y;
};
void maskPolygon(Mask& mask, const std::vector<Point>& points, float feather = 1);
void maskLine(Mask& mask, Point a, Point b, float thickness, float feather = 1);
// mask = mask * (1 - cut): carves one shape out of another (a crescent from two discs).
void maskSubtract(Mask& mask, const Mask& cut);
void maskScale(Mask& mask, float factor);
// Approximate Gaussian blur (three box passes), for glows and haze.
void blurMask(Mask& mask, float radius);
// Paints a mask in one colour, or in a colour chosen per pixel, offset by (dx, dy).
void paintMask(Canvas& canvas, const Mask& mask, Rgba colour, int dx = 0, int dy = 0);
void paintMaskWith(Canvas& canvas, const Mask& mask, const std::function<Rgba(int, int)>& colourAt,
                   int dx = 0, int dy = 0);

// Deterministic noise: a hash of integers, smooth value noise and fractal sums of it.
uint32_t hash3(int32_t x, int32_t y, uint32_t seed);
float hashUnit(int32_t x, int32_t y, uint32_t seed);  // 0 to 1
float valueNoise(float x, float y, uint32_t seed);     // 0 to 1, smooth
float fractalNoise(float x, float y, uint32_t seed, int octaves);  // 0 to 1
float smoothstep(float e0, float e1, float x);
float clamp01(float v);

// ---- lettering.cpp: text drawn with the installed Japanese faces ------------------------

// Mincho and Gothic are the full-width faces for Japanese; Serif is the proportional mincho,
// for Latin words that the fixed-pitch faces would space unevenly.
enum class Face { Mincho, Gothic, Serif };
// Draws UTF-8 text into a mask with its pen starting at (x, baseline); `tracking` adds
// pixels after every character. Returns the advance. Fails loudly when the face is missing.
float drawText(Mask& mask, Face face, int pixelSize, const std::string& utf8, float x,
               float baseline, float tracking = 0);
float measureText(Face face, int pixelSize, const std::string& utf8, float tracking = 0);
// Draws text centred on x.
void drawTextCentred(Mask& mask, Face face, int pixelSize, const std::string& utf8, float cx,
                     float baseline, float tracking = 0);
// Draws text top to bottom, each character centred on cx, one cell of `step` pixels each.
void drawTextVertical(Mask& mask, Face face, int pixelSize, const std::string& utf8, float cx,
                      float top, float step);
// Releases the faces and fontconfig's state once all lettering is done.
void closeLettering();

// ---- sound.cpp: synthesised effects -----------------------------------------------------

constexpr int kSampleRate = 44100;
struct Tone {
  float frequency;   // Hz
  float amplitude;   // 0 to 1
  float decay;       // e-folding time in seconds
  float start = 0;   // seconds after the sound begins
};
// Sum of sine partials with a short attack and exponential decay, as mono samples.
std::vector<float> synthesise(const std::vector<Tone>& tones, float seconds, float attack);
// A 16-bit mono PCM WAV file image.
std::vector<uint8_t> encodeWav(const std::vector<float>& samples);

// ---- art_sky.cpp: pieces of the moonlit night shared by several pictures -----------------

// Cloud cover 0 to 1 at a pixel: long, thin horizontal streaks.
float cloudCover(float x, float y, uint32_t seed);
// The hazy moon: corona, halo and the disc with its maria, centred at (cx, cy).
void paintMoon(Canvas& canvas, float cx, float cy, float radius, uint32_t seed);
// Moonlit cloud streaks over the sky down to `bottom`, denser near `bandY`.
void paintClouds(Canvas& canvas, float moonX, float moonY, float bandY, float bottom,
                 uint32_t seed, float strength);
// Scattered stars above `bottom`, dimmed near the moon and behind clouds.
void paintStars(Canvas& canvas, int count, float bottom, float moonX, float moonY, uint32_t seed);
// The crescent of the court's emblem: a disc of radius r at (cx, cy) with a bite taken out of
// its upper right.
Mask crescentMask(int width, int height, float cx, float cy, float r);
// Darkens the corners, like an old lens.
void paintVignette(Canvas& canvas, float strength);
// Lettering with a soft glow and a vertical colour ramp from `top` to `bottom` rows.
void paintLettering(Canvas& canvas, const Mask& glyphs, Rgba fillTop, Rgba fillBottom,
                    float rampTop, float rampBottom, Rgba glow, float glowRadius);

// ---- art_*.cpp: the pictures ------------------------------------------------------------

Canvas paintLogo();
Canvas paintTitleBackground();
Canvas paintSelectBackground();
Canvas paintTitleButton(const std::string& label);
// The life gauge (five rows of 215x40, row r holding r + 1 units) and the unit being lost.
Canvas paintLifeGauge();
Canvas paintLifeLoss();
Canvas paintMessageWindow();
Canvas paintPageCursor();     // sys/cursor_np
Canvas paintStartCursor();    // cursor1
Canvas paintViewCursor();     // cursor0
Canvas paintBlankCursor();
Canvas paintAutoMark();       // sys/mark_auto: shown while auto-advance is on
Canvas paintWipeMask();
std::vector<float> soundPageClick();
std::vector<float> soundCharacter();
std::vector<float> soundObjection();       // sys/se/異議あり
std::vector<float> soundGavel();           // sys/se/判決
std::vector<float> soundLifeLost();        // sys/se/HP減少
std::vector<float> soundTestimonyStart();  // sys/se/証言開始
std::vector<float> soundJingle();          // sys/se/ジングル
std::vector<float> soundItemGained();      // sys/se/アイテム取得
std::vector<float> soundItemSwitch();      // sys/se/アイテム切り替え
std::vector<float> soundItemChosen();      // sys/se/アイテム決定
std::vector<float> soundLoud();            // sys/se/大声
std::vector<float> soundDoor();            // sys/se/扉
// Background music: each piece a prelude played once and a body that loops.
std::vector<float> musicCourtPrelude();
std::vector<float> musicCourtBody();
std::vector<float> musicNightPrelude();
std::vector<float> musicNightBody();
std::vector<float> musicCrossPrelude();
std::vector<float> musicCrossBody();

// The court record (art_record.cpp): the item panel's window (800x200, the entry's picture
// framed 8 pixels inside its top left corner) and the record's buttons, each two rows of one
// look: at rest, then lit under the pointer.
Canvas paintItemWindow();
Canvas paintRecordArrow(bool right);                           // 35x96
Canvas paintRecordButton(const std::string& label, int width);  // width x 96
Canvas paintMagnifyButton();                                    // 96x80
Canvas paintRecordOpenButton();                                 // 120x96
// The first episode's entries, 192x184 each: the frame's inside on the panel.
Canvas paintFootprintsEntry();
Canvas paintLetterEntry();
Canvas paintWitnessProfile();
// The later entries: a profile cut from any character sheet, and the evidence of the second
// and third episodes (the necklace also magnified, 480x360).
Canvas paintProfileEntry(const Canvas& sheet);
Canvas paintNecklaceEntry();
Canvas paintNecklaceMagnified();
Canvas paintCostumeEntry();
Canvas paintScriptEntry();
Canvas paintCigaretteEntry();
Canvas paintKeyEntry();

// The courtroom stage (art_court_stage.cpp): the three rooms, the rails drawn over the
// characters, and the character sheets (two columns, mouth shut and open, of 400x540; rows:
// the first pose still, talking, the second pose still, talking).
Canvas paintCourtMain();
Canvas paintCourtJudge();
Canvas paintCourtGuide();
Canvas paintCourtMainRail();
Canvas paintCourtJudgeBench();
Canvas paintLawyer();
Canvas paintProsecutor();
Canvas paintWitness();
// The people of the episodes: the judge, the first case's maid and gardener, the actress,
// the butler and the writer's guest.
Canvas paintJudge();
Canvas paintMaid();
Canvas paintGardener();
Canvas paintActress();
Canvas paintButler();
Canvas paintGuest();

// The episodes' places (art_episodes.cpp): the garden (1600x600, panned), the dressing room
// and its curtain valance (800x90), the study.
Canvas paintGarden();
Canvas paintDressingRoom();
Canvas paintCurtainValance();
Canvas paintStudy();

// The courtroom's set pieces (art_set_pieces.cpp, voice.cpp): the shouted bubbles, the verdict
// characters, the name plates, and the shouts in a voice of a given pitch.
Canvas paintExclamationBubble(const std::string& label, Rgba edge);
Canvas paintVerdictCharacter(const std::string& character, Rgba colour);
Canvas paintNamePlate(const std::string& name);
std::vector<float> voiceShout(const std::string& type, float basePitch, uint32_t seed);

// Testimony and cross-examination (art_inquiry.cpp): the title logo (640x160) and the press
// and present buttons for the top corners (180x80: at rest, then lit).
Canvas paintInquiryLogo(const std::string& words);
Canvas paintPressButton();
Canvas paintPresentButton();

// Shared look of the night court.
namespace palette {
inline Rgba night() { return hex(0x070a1f); }
inline Rgba moonlight() { return hex(0xf4edd2); }
inline Rgba silver() { return hex(0xc9d2e8); }
inline Rgba gold() { return hex(0xf1d98a); }
}  // namespace palette

// ---- assetgen.cpp: the table of generated files -----------------------------------------

enum class AssetKind { Png, Wav, Music };  // Music: a WAV file longer than an effect
struct Asset {
  const char* path;  // relative to the game folder, UTF-8
  AssetKind kind;
  int width, height;  // for pictures: the size the picture must have
  std::function<Canvas()> paint;
  std::function<std::vector<float>()> sound;
};
const std::vector<Asset>& assetTable();
// Writes one asset into the game folder; throws std::runtime_error on failure.
void writeAsset(const Asset& asset, const std::string& gameDir);

}  // namespace assetgen

#endif  // ORVANE_DEMO_ASSETGEN_H
