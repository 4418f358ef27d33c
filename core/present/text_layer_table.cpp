// The text layer table: creating and finding layers, their windows, fonts, positions and
// levels, showing, hiding and clearing them, their colours and speeds, and the start-up and
// shutdown of the whole table with the shared choice highlight.
#include <cstring>

#include "host/errors.h"
#include "host/host_api.h"
#include "present/sprite_definition.h"
#include "present/sprites.h"
#include "present/text_layer_table.h"
#include "present/text_layer_state.h"
#include "script/syntax.h"
#include "support/sjis_literal.h"
#include "support/support.h"

TextLayer gTextLayers[kTextLayerCount];
int gCurrentTextLayer = 0;

namespace {

constexpr Colour kWhiteText{1, 1, 1, 0};
constexpr Colour kBlackShadow{0, 0, 0, 0};
constexpr int kDefaultSpeed = 30;
constexpr DisplayStyle kLeftTop = kStyleLeft | kStyleTop;

bool isUsed(const TextLayer& layer) { return layer.name[0] != '\0'; }

// Names are kept to 255 bytes, so a longer name is looked up as it was stored.
int findLayer(const char* name) {
  char kept[kTextLayerNameSize];
  CopyText(name, kept, sizeof kept);
  for (int i = 0; i < kTextLayerCount; ++i)
    if (isUsed(gTextLayers[i]) && TextEqualsNoCase(gTextLayers[i].name, kept)) return i;
  return -1;
}

bool isShown(const TextLayer& layer) {
  const SpriteSlot& window = gSprites[textLayerSlots(indexOfLayer(layer)).window];
  return (window.flags & kSlotValid) && (window.flags & kSlotRealized);
}

// The host's font kinds and rendering flags, passed through as the host defines them.
int fontFlags(int size) { return size > 12 ? 0x30 : 0x21; }

}  // namespace

TextLayerFont defaultTextLayerFont() {
  static const char* const kGothic = "ＭＳ ゴシック"_sj;
  return TextLayerFont{.face = kGothic, .size = 24, .styleFlag = true, .columns = 24,
                       .lines = 17, .leftMargin = 8, .topMargin = 16, .charSpacing = 0,
                       .lineSpacing = 2, .shadowOn = true, .shadowDx = 2, .shadowDy = 3,
                       .rubyFace = kGothic, .rubySize = 10, .rubyGap = -2};
}

TextLayer& textLayerNamed(const char* name) { return gTextLayers[findTextLayer(name)]; }

int findTextLayer(const char* name) {
  if (name == nullptr || name[0] == '\0') return gCurrentTextLayer;
  int index = findLayer(name);
  if (index < 0) ScriptError("テキストレイヤー \"%s\" は存在しません。"_sj, name);
  return index;
}

void selectTextLayer(const char* name) {
  gCurrentTextLayer = findTextLayer(name == nullptr || name[0] == '\0' ? "def" : name);
}

int currentTextLayer() { return gCurrentTextLayer; }

void initTextLayers() {
  for (TextLayer& layer : gTextLayers) {
    layer = TextLayer{};
    layer.level = kTextLayerLevelBase;
  }
  gCurrentTextLayer = 0;
  buildColourSprite(kChoiceHighlightSlot, 1, 1, 1, "#0000ff60", 0, 0, 0, 0, 95, 0,
                    "wipefade hide", "none");
  createTextLayer("def");
  createTextLayer("system");
  selectTextLayer("def");
  hideTextLayer("system");
  setTextLayerLevel("system", 1);
}

void createTextLayer(const char* name) {
  if (name == nullptr || name[0] == '\0')
    ScriptError("%s", "テキストレイヤー名が指定されていません。"_sj);
  char kept[kTextLayerNameSize];
  CopyText(name, kept, sizeof kept);
  if (findLayer(kept) >= 0) ScriptError("テキストレイヤー \"%s\" は既に存在します。"_sj, name);
  TextLayer* layer = nullptr;
  for (TextLayer& entry : gTextLayers) {
    if (!isUsed(entry)) {
      layer = &entry;
      break;
    }
  }
  if (layer == nullptr) ScriptError("%s", "これ以上テキストレイヤーを作成できません"_sj);

  *layer = TextLayer{};
  std::memcpy(layer->name, kept, sizeof kept);
  layer->level = kTextLayerLevelBase;
  layer->defaultTextColour = layer->textColour = kWhiteText;
  layer->defaultShadowColour = layer->shadowColour = kBlackShadow;
  layer->defaultSpeed = layer->speed = kDefaultSpeed;
  setTextLayerWindow(kept, "", "#00000080", 0, 0, 0, 0);
  showTextLayer(kept);
}

void setTextLayerWindow(const char* name, const char* image, const char* colour, int x, int y,
                        int width, int height) {
  TextLayer& layer = textLayerNamed(name);
  const TextLayerSlots slots = textLayerSlots(indexOfLayer(layer));
  layer.x = x;
  layer.y = y;
  const bool wasShown = isShown(layer);
  const DisplayStyle windowStyle = kStyleWipeFade | kStyleHide;

  if (image == nullptr || image[0] == '\0') {
    if (width <= 0) width = gScreenWidth;
    if (height <= 0) height = gScreenHeight;
    buildColourSprite(slots.window, 1, 1, 1, colour, x, y, width, height, layer.level,
                      windowStyle, "", "none");
    layer.width = requireSprite(slots.window).width;
    layer.height = requireSprite(slots.window).height;
  } else {
    loadSpriteDefinition(slots.window, 1, image, x, y, layer.level, windowStyle, "none");
    // The surfaces keep the picture's own size; only the window is stretched.
    layer.width = requireSprite(slots.window).width;
    layer.height = requireSprite(slots.window).height;
    if (width <= 0) width = layer.width;
    if (height <= 0) height = layer.height;
    setSpriteSize(slots.window, width, height);
  }
  layer.windowImage = getSpriteImage(slots.window);

  buildColourSprite(slots.text, 1, layer.width, layer.height, "black", x, y, 0, 0, layer.level,
                    0, "hide wipefade", "none");
  layer.textImage = getSpriteImage(slots.text);
  buildColourSprite(slots.shadow, 1, layer.width, layer.height, "black", x, y, 0, 0,
                    layer.level, 0, "hide wipefade", "none");
  layer.shadowImage = getSpriteImage(slots.shadow);

  if (wasShown) showTextLayer(layer.name);
  setTextLayerFont(layer.name, defaultTextLayerFont());
}

void setTextLayerFont(const char* name, const TextLayerFont& font) {
  TextLayer& layer = textLayerNamed(name);
  CopyText(font.face, layer.face, sizeof layer.face);
  layer.size = font.size;
  layer.styleFlag = font.styleFlag;
  layer.lineWidth = 2 * font.columns;
  layer.lines = font.lines;
  layer.leftMargin = font.leftMargin;
  layer.topMargin = font.topMargin;
  layer.charSpacing = font.charSpacing;
  layer.lineSpacing = font.lineSpacing;
  layer.shadowOn = font.shadowOn;
  layer.shadowDx = font.shadowDx;
  layer.shadowDy = font.shadowDy;
  CopyText(font.rubyFace, layer.rubyFace, sizeof layer.rubyFace);
  layer.rubySize = font.rubySize;
  layer.rubyGap = font.rubyGap;

  const int bodyKind = font.styleFlag ? 5 : 3, emphasisKind = font.styleFlag ? 7 : 6;
  layer.bodyFont = openFont(layer.face, layer.size, bodyKind, 0, 1, fontFlags(layer.size));
  layer.emphasisFont =
      openFont(layer.face, layer.size, emphasisKind, 0, 1, fontFlags(layer.size));
  layer.rubyFont = openFont(layer.rubyFace, layer.rubySize, 3, 0, 1, fontFlags(layer.rubySize));

  if (isShown(layer)) showTextLayer(layer.name);
  setTextLayerPos(layer.name, layer.x, layer.y);
  clearTextLayer(layer.name);
}

void setTextLayerPos(const char* name, int x, int y) {
  TextLayer& layer = textLayerNamed(name);
  const TextLayerSlots slots = textLayerSlots(indexOfLayer(layer));
  layer.x = x;
  layer.y = y;
  for (int slot : {slots.window, slots.text, slots.shadow}) requireSprite(slot);
  setSpritePos(slots.window, x, y, kLeftTop);
  setSpritePos(slots.text, x, y, kLeftTop);
  setSpritePos(slots.shadow, addClamped(x, layer.shadowDx), addClamped(y, layer.shadowDy),
               kLeftTop);
}

void setTextLayerLevel(const char* name, int level) {
  TextLayer& layer = textLayerNamed(name);
  const TextLayerSlots slots = textLayerSlots(indexOfLayer(layer));
  layer.level = kTextLayerLevelBase + level;
  setSpriteLevel(slots.window, layer.level);
  setSpriteLevel(slots.shadow, layer.level);
  setSpriteLevel(slots.text, layer.level);
}

int textLayerLevel(const char* name) {
  return textLayerNamed(name).level - kTextLayerLevelBase;
}

const char* textLayerName(int index) {
  if (index < 0 || index >= kTextLayerCount) return "";
  return gTextLayers[index].name;
}

void showTextLayer(const char* name) {
  const int named = findTextLayer(name);
  // Shown layers are put on screen again in table order, so their sprites stack the same
  // way whichever of them was shown last.
  for (int i = 0; i < kTextLayerCount; ++i) {
    TextLayer& layer = gTextLayers[i];
    if (!isUsed(layer) || (i != named && !isShown(layer))) continue;
    const TextLayerSlots slots = textLayerSlots(i);
    hideSpriteChecked(slots.window, "none");
    hideSpriteChecked(slots.text, "none");
    hideSpriteChecked(slots.shadow, "none");
    showSpriteChecked(slots.window, kNoSlot, "none");
    if (layer.shadowOn) showSpriteChecked(slots.shadow, kNoSlot, "none");
    else hideSpriteChecked(slots.shadow, "none");
    showSpriteChecked(slots.text, kNoSlot, "none");
  }
}

void hideTextLayer(const char* name) {
  const TextLayerSlots slots = textLayerSlots(findTextLayer(name));
  hideSpriteChecked(slots.window, "none");
  hideSpriteChecked(slots.text, "none");
  hideSpriteChecked(slots.shadow, "none");
}

bool isTextLayerShown(const char* name) { return isShown(textLayerNamed(name)); }

void clearTextLayer(const char* name) {
  TextLayer& layer = textLayerNamed(name);
  lineFeed(layer);
  layer.font = layer.bodyFont;
  layer.clearTextColour = layer.textColour = layer.defaultTextColour;
  layer.clearShadowColour = layer.shadowColour = layer.defaultShadowColour;
  layer.speed = layer.defaultSpeed;
  layer.indentColumn = layer.indentX = 0;
  layer.rubyMode = false;
  layer.ruby[0] = '\0';
  layer.rubyLength = 0;
  layer.choiceInProgress.reset();
  layer.choices.clear();
  layer.currentChoice.reset();
  const Colour& t = layer.defaultTextColour;
  gHost.lbtsFillImage(hostImage(layer.textImage), t.red, t.green, t.blue, t.alpha);
  if (layer.shadowOn) {
    const Colour& s = layer.defaultShadowColour;
    gHost.lbtsFillImage(hostImage(layer.shadowImage), s.red, s.green, s.blue, s.alpha);
  }
  layer.line = layer.column = 0;
  layer.penX = layer.prevX = layer.leftMargin;
  layer.penY = layer.prevY = layer.topMargin;
}

void destroyTextLayers() {
  // Shutdown also runs after a failed start, so slots that were never built are skipped
  // rather than reported.
  for (int i = 0; i < kTextLayerCount; ++i) {
    if (!isUsed(gTextLayers[i])) continue;
    const TextLayerSlots slots = textLayerSlots(i);
    for (int slot : {slots.text, slots.window, slots.shadow}) {
      hideSprite(slot, "none");
      destroySprite(slot);
    }
    gTextLayers[i] = TextLayer{};
  }
  hideSprite(kChoiceHighlightSlot, "none");
  destroySprite(kChoiceHighlightSlot);
}

// ---- Colours and speeds ---------------------------------------------------------------------

void setTextColour(float r, float g, float b) { currentLayer().textColour = Colour{r, g, b, 0}; }
void resetTextColour() { currentLayer().textColour = currentLayer().defaultTextColour; }
void setShadowColour(float r, float g, float b) {
  currentLayer().shadowColour = Colour{r, g, b, 0};
}
void resetShadowColour() { currentLayer().shadowColour = currentLayer().defaultShadowColour; }

void setDefaultTextColour(const char* name, float r, float g, float b) {
  TextLayer& layer = textLayerNamed(name);
  layer.defaultTextColour = layer.textColour = Colour{r, g, b, 0};
}

void setDefaultShadowColour(const char* name, float r, float g, float b) {
  TextLayer& layer = textLayerNamed(name);
  layer.defaultShadowColour = layer.shadowColour = Colour{r, g, b, 0};
}

void setSpeed(const char* name, int milliseconds) {
  TextLayer& layer = textLayerNamed(name);
  layer.defaultSpeed = layer.speed = milliseconds;
}

void setCurrentSpeed(int milliseconds) { currentLayer().speed = milliseconds; }
void resetSpeed() { currentLayer().speed = currentLayer().defaultSpeed; }
int textSpeed() { return currentLayer().speed; }
