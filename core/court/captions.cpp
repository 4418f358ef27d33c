// The verdict, the loud text and the scene caption: fixed sequences of sprites, sounds and
// text-layer settings that take the message window over for a moment and give it back in
// its normal mode.
#include "court/exclamations.h"
#include "present/frame.h"
#include "present/sound.h"
#include "present/sprite_definition.h"
#include "present/sprites.h"
#include "present/text_layers.h"
#include "script/message.h"
#include "support/sjis_literal.h"
#include "support/support.h"

namespace {

constexpr const char* kGothic = "ＭＳ ゴシック"_sj;
constexpr const char* kGavel = "sys/se/判決"_sj;
constexpr const char* kLoudVoice = "sys/se/大声"_sj;
constexpr const char* kCaptionSound = "sys/se/文字表示"_sj;

void removeSprite(int slot, const char* transition) {
  if (!isSpriteValid(slot)) return;
  hideSprite(slot, transition);
  destroySprite(slot);
}

// One verdict character: the gavel, the character wiped in, a pause. True when the scenario
// is leaving.
bool showVerdictCharacter(int slot, const char* name, int x) {
  playSe(kGavel);
  loadSpriteDefinition(slot, 0, name, x, 300, kVerdictLevel,
                       parseDisplayStyle(0, "center middle show cache wipehide"), "slowwipe");
  renderScreen();
  return ShowMessagePlain("[w 800]", 0);
}

// Green text on "def" in a font of its own, typed at 200 ms a character from a clean page.
void takeOverMessageWindow(const TextLayerFont& font) {
  setTextLayerFont("def", font);
  setDefaultTextColour("def", 0.0f, 1.0f, 0.0f);
  setSpeed("def", 200);
  clearTextLayer("def");
}

}  // namespace

void showVerdict(bool guilty) {
  const bool windowShown = isTextLayerShown("def");
  if (windowShown) hideTextLayer("def");
  const bool plateShown = isSpriteValid(kNamePlateSlot) && isSpriteShown(kNamePlateSlot);
  if (plateShown) hideSprite(kNamePlateSlot, "none");

  const char* first = guilty ? "sys/court_guilty0" : "sys/court_innocence0";
  const char* second = guilty ? "sys/court_guilty1" : "sys/court_innocence1";
  bool leaving = showVerdictCharacter(kVerdictFirstSlot, first, 200);
  if (!leaving) leaving = showVerdictCharacter(kVerdictSecondSlot, second, 600);
  if (leaving) {
    // Nothing of the verdict may outlive the scenario that showed it.
    removeSprite(kVerdictFirstSlot, "none");
    removeSprite(kVerdictSecondSlot, "none");
    return;
  }

  for (int slot : {kVerdictFirstSlot, kVerdictSecondSlot}) setSpriteStateStyle(slot, "wipehide");
  removeSprite(kVerdictFirstSlot, "slowwipe");
  removeSprite(kVerdictSecondSlot, "slowwipe");

  if (plateShown) showSprite(kNamePlateSlot, kNoSlot, "none");
  if (windowShown) showTextLayer("def");
}

void showLoudText(const char* text) {
  ShowMessageWindow();
  takeOverMessageWindow(
      TextLayerFont{kGothic, 60, false, 11, 2, 42, 20, 5, 15, true, 2, 3, kGothic, 20, -8});
  if (ShowMessagePlain("[cg]", 0)) return;
  if (ShowMessage(text ? text : "", kLoudVoice, 0)) return;
  if (ShowMessagePlain("[np]", kStoryMessageMode)) return;
  ShowMessageWindow();
}

int sceneCaptionPadding(const char* line) {
  int width = 0;
  const char* cursor = line ? line : "";
  while (*cursor) {
    const unsigned char byte = static_cast<unsigned char>(*cursor);
    if (byte == '{') {
      // A ruby group takes one column however long its reading is. Trail bytes are stepped
      // over whole, so a two-byte character ending in the brace's code cannot close it.
      ++cursor;
      while (*cursor && *cursor != '}')
        cursor += isLeadByte(static_cast<unsigned char>(*cursor)) && cursor[1] ? 2 : 1;
      if (*cursor == '}') ++cursor;
      width += 1;
      continue;
    }
    const int length = isLeadByte(byte) && cursor[1] ? 2 : 1;
    width += length;
    cursor += length;
  }
  const int pad = (32 - width) / 2;
  return pad > 0 ? pad : 0;
}

void showSceneCaption(const char* line1, const char* line2) {
  ShowMessageWindow();
  clearNamePlate();
  takeOverMessageWindow(
      TextLayerFont{kGothic, 40, false, 16, 2, 42, 40, 5, 30, true, 2, 3, kGothic, 16, -4});
  const char* lines[2] = {line1 ? line1 : "", line2 ? line2 : ""};
  for (int i = 0; i < 2; ++i) {
    for (int pad = sceneCaptionPadding(lines[i]); pad > 0; --pad) putChar(32);
    if (ShowMessage(lines[i], kCaptionSound, 0)) return;
    if (ShowMessagePlain(i == 0 ? "[br][w 200]" : "[np]", i == 0 ? 0 : kStoryMessageMode))
      return;
  }
  ShowMessageWindow();
}
