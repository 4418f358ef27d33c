// The message log: pages collected as the message window draws them (characters, ruby, the
// tags that shape them) and kept with the speaker's plate, and the log screen that draws
// them again on the "system" layer over a dimmed game, scrolled a page at a time.
#include "script/message_log.h"

#include <deque>
#include <iterator>
#include <string>

#include "host/host_api.h"
#include "lb/keycodes.h"
#include "present/frame.h"
#include "present/sprite_definition.h"
#include "present/sprites.h"
#include "present/text_layer_state.h"
#include "present/text_layers.h"
#include "script/message.h"
#include "script/syntax.h"
#include "support/sjis_literal.h"
#include "support/support.h"

namespace {

struct LogPage {
  std::string text;   // drawn characters, ruby in braces and the kept tags
  std::string plate;  // name plate definition, empty when none was on screen
};

struct Collecting {
  std::string text;
  int chars = 0;
  bool rubyOpen = false;
  bool full = false;  // the page outgrew kMessageLogPageSize: the rest is not kept
};

std::deque<LogPage> gPages;
Collecting gPage;
int gLastPageLength = 0;
int gPlateSlot = -1;
std::string gPlateName;

void Append(const char* bytes, std::size_t length) {
  if (gPage.full) return;
  // A unit is kept whole or not at all, so a cut page never ends inside a character or tag.
  if (gPage.text.size() + length + 1 > static_cast<std::size_t>(kMessageLogPageSize)) {
    gPage.full = true;
    return;
  }
  gPage.text.append(bytes, length);
}

void AppendCode(std::uint16_t code) {
  char bytes[2] = {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
  if (code > 0xFF)
    Append(bytes, 2);
  else
    Append(bytes + 1, 1);
}

// ---- The log screen -----------------------------------------------------------------------

// The log is drawn on the system menu's layer (never open at the same time), raised above
// the court's exclamations, in the message window's face at a size that leaves room for the
// plates on the left; sixteen columns as in the window, so every page wraps as it did there.
constexpr const char* kLogLayer = "system";
constexpr const char* kLogFace = "ＭＳ ゴシック"_sj;
constexpr const char* kLogDim = "#000000c0";
constexpr const char* kStoryLayers[] = {"def", "sub"};
constexpr int kLogLayerLevel = 4;  // sprite level 84: over the exclamations (83)
constexpr int kLogColumns = 16;
constexpr int kLogLines = 14;
constexpr int kLogFontSize = 28;
constexpr int kLogLineSpacing = 12;
constexpr int kLogTopMargin = 24;
constexpr int kLogLeftMargin = 256;
constexpr int kLogLineHeight = kLogFontSize + kLogLineSpacing;

// The plates beside the pages borrow the slots of the two text layer entries the game never
// creates; a slot found in use is left alone and its page shown without a plate.
constexpr int kPlateSlots[] = {13, 14, 15, 16, 17};
constexpr int kMaxPagesShown = static_cast<int>(sizeof kPlateSlots / sizeof kPlateSlots[0]);
constexpr int kPlateX = 32;
constexpr int kPlateLevel = 85;
constexpr int kPlateClass = 1;
bool gPlateShown[kMaxPagesShown] = {};

// Every page starts as the window's pages do: body font, default colour, no indent.
constexpr const char* kPageStart = "[/i][/b][c]";

// DirectInput codes the log screen reads.
constexpr int kKeyEscape = 1;
constexpr int kKeyReturn = 28;
constexpr int kKeyZ = 44;
constexpr int kKeySpace = 57;
constexpr int kKeyF5 = 63;
constexpr int kKeyPadEnter = 156;
constexpr int kKeyUp = 200;
constexpr int kKeyPageUp = 201;
constexpr int kKeyDown = 208;
constexpr int kKeyPageDown = 209;

// Lines a page takes on a layer of kLogColumns columns, placing characters as the layer's
// pen does (double-byte ones count two half-width units; an indent holds wrapped lines).
int PageLines(const std::string& page) {
  const int lineWidth = 2 * kLogColumns;
  int line = 0, column = 0, indent = 0;
  bool ruby = false;
  const char* cursor = page.c_str();
  while (*cursor != '\0' && line < kLogLines) {
    const unsigned char byte = static_cast<unsigned char>(*cursor);
    const int length = isLeadByte(byte) && cursor[1] != '\0' ? 2 : 1;
    if (ruby) {
      ruby = byte != '}';
      cursor += length;
      continue;
    }
    if (byte == '{') {
      ruby = true;
      ++cursor;
      continue;
    }
    if (byte == '[') {
      const char* end = cursor;
      while (*end != '\0' && *end != ']') ++end;
      const std::string tag(cursor + 1, end);
      if (tag == "br") {
        ++line;
        column = 0;
      } else if (tag == "i") {
        indent = column;
      } else if (tag == "/i") {
        indent = 0;
      }
      cursor = *end ? end + 1 : end;
      continue;
    }
    for (;;) {
      if (column < indent) column = indent;
      column += length;
      if (column <= lineWidth) break;
      ++line;
      column = 0;
      if (line >= kLogLines) break;
    }
    cursor += length;
  }
  return line < kLogLines ? line + 1 : kLogLines;
}

int PageCount() { return static_cast<int>(gPages.size()); }

// The first page of the view that ends with the newest page: as many as fit, a blank line
// between two pages.
int LastFirstPage() {
  int first = PageCount() - 1;
  int lines = PageLines(gPages[static_cast<std::size_t>(first)].text);
  int shown = 1;
  while (first > 0 && shown < kMaxPagesShown) {
    const int more = 1 + PageLines(gPages[static_cast<std::size_t>(first - 1)].text);
    if (lines + more > kLogLines) break;
    lines += more;
    --first;
    ++shown;
  }
  return first;
}

void RemovePlates() {
  for (int i = 0; i < kMaxPagesShown; ++i) {
    if (!gPlateShown[i]) continue;
    gPlateShown[i] = false;
    if (!isSpriteValid(kPlateSlots[i])) continue;
    hideSprite(kPlateSlots[i], "none");
    destroySprite(kPlateSlots[i]);
  }
}

void ShowPlate(int place, const std::string& plate, int line) {
  const int slot = kPlateSlots[place];
  if (plate.empty() || isSpriteValid(slot)) return;
  // The plate stands beside the page's first line.
  const int y = kLogTopMargin + line * kLogLineHeight - (kLogLineHeight - kLogFontSize) / 2;
  loadSpriteDefinition(slot, kPlateClass, plate.c_str(), kPlateX, y, kPlateLevel,
                       kStyleShow | kStyleLeft | kStyleTop, "none");
  gPlateShown[place] = true;
}

// Draws a kept page on the current layer at once: its characters, its ruby and its tags as
// the message text carries them out, without the pauses of the text's pace, so the whole
// view appears in one frame.
void DrawPageText(const char* text) {
  const char* cursor = text;
  while (*cursor != '\0') {
    const unsigned char byte = static_cast<unsigned char>(*cursor);
    std::uint16_t code = byte;
    int length = 1;
    if (isLeadByte(byte)) {
      if (cursor[1] == '\0') break;
      code = static_cast<std::uint16_t>(byte << 8 | static_cast<unsigned char>(cursor[1]));
      length = 2;
    }
    if (isRubyMode()) {
      if (code == '}')
        setRubyMode(false);
      else
        putChar(code);
    } else if (code == '[') {
      ++cursor;
      RunTag(cursor, 0);  // only the tags that shape a page are kept, and none of them waits
      continue;
    } else if (code == '{') {
      setRubyMode(true);
    } else {
      putChar(code);
    }
    cursor += length;
  }
}

// Draws the pages from `first` on, as many as fit; returns how many were drawn.
int DrawView(int first) {
  RemovePlates();
  clearTextLayer(kLogLayer);
  int line = 0, shown = 0;
  for (int i = first; i < PageCount() && shown < kMaxPagesShown; ++i) {
    const LogPage& page = gPages[static_cast<std::size_t>(i)];
    const int lines = PageLines(page.text);
    if (shown > 0) {
      if (line + 1 + lines > kLogLines) break;
      DrawPageText("[br][br]");
      ++line;
    }
    ShowPlate(shown, page.plate, line);
    DrawPageText(kPageStart);
    DrawPageText(page.text.c_str());
    line += lines;
    ++shown;
  }
  return shown;
}

void ShapeLogLayer() {
  setTextLayerLevel(kLogLayer, kLogLayerLevel);
  // The whole screen: the dim colour is the window, so the game shows darkened behind.
  setTextLayerWindow(kLogLayer, "", kLogDim, 0, 0, 800, 600);
  setTextLayerFont(kLogLayer,
                   TextLayerFont{.face = kLogFace, .size = kLogFontSize, .styleFlag = false,
                                 .columns = kLogColumns, .lines = kLogLines,
                                 .leftMargin = kLogLeftMargin, .topMargin = kLogTopMargin,
                                 .charSpacing = 3, .lineSpacing = kLogLineSpacing,
                                 .shadowOn = true, .shadowDx = 2, .shadowDy = 2,
                                 .rubyFace = kLogFace, .rubySize = 10, .rubyGap = -2});
  setDefaultShadowColour(kLogLayer, 0.2f, 0.2f, 0.2f);
  setDefaultTextColour(kLogLayer, 1.0f, 1.0f, 1.0f);
  setSpeed(kLogLayer, 0);
  showTextLayer(kLogLayer);
  selectTextLayer(kLogLayer);
}

// What the player asked of the log in one look at the input.
struct LogInput {
  int scroll = 0;      // pages, negative towards the oldest
  int screens = 0;     // whole views, likewise
  bool wheelDown = false;
  bool close = false;
};
LogInput gInput;

bool IsCloseKey(int key) {
  return key == kKeyEscape || key == kKeyReturn || key == kKeySpace || key == kKeyPadEnter ||
         key == kKeyZ;
}

bool PollLogInput(std::intptr_t) {
  gInput = LogInput{};
  int code = 0, x = 0, y = 0;
  while (gHost.lbGetMouse(&code, &x, &y)) {
    if (code == LB_MOUSE_LEFT || code == LB_MOUSE_RIGHT) gInput.close = true;
    if (code == LB_MOUSE_WHEEL_UP) --gInput.scroll;
    if (code == LB_MOUSE_WHEEL_DOWN) {
      ++gInput.scroll;
      gInput.wheelDown = true;
    }
  }
  int key = 0, kind = 0;
  while (gHost.lbGetKeyEvent(&key, &kind)) {
    if (kind != LB_KEY_PRESS) continue;
    if (IsCloseKey(key)) gInput.close = true;
    if (key == kKeyUp) --gInput.scroll;
    if (key == kKeyDown) ++gInput.scroll;
    if (key == kKeyPageUp) --gInput.screens;
    if (key == kKeyPageDown) ++gInput.screens;
    if (key == kKeyF5) gHost.lbSetFullscreen(gHost.lbIsFullscreen() ? 0 : 1);
  }
  return gInput.close || gInput.scroll != 0 || gInput.screens != 0;
}

}  // namespace

void logDrawnChar(std::uint16_t code) {
  AppendCode(code);
  ++gPage.chars;
}

void logRubyChar(std::uint16_t code) { AppendCode(code); }

void logRubyStart() {
  Append("{", 1);
  gPage.rubyOpen = !gPage.full;
}

void logRubyEnd() {
  if (!gPage.rubyOpen) return;
  gPage.text.push_back('}');  // room for it was kept when the ruby started
  gPage.rubyOpen = false;
}

void logTag(const char* name) {
  std::string tag = std::string("[") + name + "]";
  Append(tag.data(), tag.size());
}

void logPageBreak(bool keep) {
  // A ruby the page never closed would swallow the next page when the log draws them.
  logRubyEnd();
  gLastPageLength = keep ? gPage.chars : 0;
  if (keep) {
    LogPage page{gPage.text, {}};
    if (gPlateSlot >= 0 && isSpriteValid(gPlateSlot) && isSpriteShown(gPlateSlot))
      page.plate = gPlateName;
    if (!page.text.empty()) {
      gPages.push_back(std::move(page));
      if (gPages.size() > static_cast<std::size_t>(kMessageLogPages)) gPages.pop_front();
    }
  }
  gPage = Collecting{};
}

void logDropPage() { gPage = Collecting{}; }

void logNamePlate(int slot, const char* definition) {
  gPlateSlot = slot;
  gPlateName = definition ? definition : "";
}

int messageLogSize() { return PageCount(); }

const char* messageLogPage(int index) {
  if (index < 0 || index >= PageCount()) return "";
  return gPages[static_cast<std::size_t>(index)].text.c_str();
}

const char* messageLogPlate(int index) {
  if (index < 0 || index >= PageCount()) return "";
  return gPages[static_cast<std::size_t>(index)].plate.c_str();
}

int lastLoggedPageLength() { return gLastPageLength; }

void clearMessageLog() {
  gPages.clear();
  gPage = Collecting{};
  gLastPageLength = 0;
}

void runMessageLog() {
  if (gPages.empty()) return;
  char previousLayer[kTextLayerNameSize];
  CopyText(textLayerName(currentTextLayer()), previousLayer, sizeof previousLayer);
  const int previousLevel = textLayerLevel(kLogLayer);
  // The story's own text would show through the dim under the log's; its layers step aside
  // as they do for the system menu, and come back as they were.
  bool storyShown[std::size(kStoryLayers)] = {};
  for (std::size_t i = 0; i < std::size(kStoryLayers); ++i) {
    storyShown[i] = isTextLayerShown(kStoryLayers[i]);
    if (storyShown[i]) hideTextLayer(kStoryLayers[i]);
  }
  ShapeLogLayer();

  const int last = LastFirstPage();
  int first = last;
  int shown = DrawView(first);
  renderScreen();
  for (;;) {
    waitFor(PollLogInput, 0, kWaitForever);
    if (gInput.close || (gInput.wheelDown && first == last)) break;
    int wanted = first + gInput.scroll + gInput.screens * shown;
    wanted = wanted < 0 ? 0 : wanted > last ? last : wanted;
    if (wanted == first) continue;
    first = wanted;
    shown = DrawView(first);
    renderScreen();
  }

  RemovePlates();
  clearTextLayer(kLogLayer);
  hideTextLayer(kLogLayer);
  setTextLayerLevel(kLogLayer, previousLevel);
  for (std::size_t i = 0; i < std::size(kStoryLayers); ++i)
    if (storyShown[i]) showTextLayer(kStoryLayers[i]);
  selectTextLayer(previousLayer);
}
