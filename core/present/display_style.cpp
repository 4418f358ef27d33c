// Display styles: the words of a style text ("left top", "backhide wipenofade") turned into
// the style bit set, each word setting its bit and clearing the bits it excludes.
#include "host/errors.h"
#include "present/sprites.h"
#include "script/syntax.h"
#include "support/sjis_literal.h"

namespace {

struct StyleWord {
  const char* word;
  DisplayStyle bit;
  DisplayStyle clears;
};

// In the order words are compared.
constexpr StyleWord kStyleWords[] = {
    {"show", kStyleShow, kStyleHide},
    {"hide", kStyleHide, kStyleShow},
    {"left", kStyleLeft, kStyleRight | kStyleCenter},
    {"center", kStyleCenter, kStyleLeft | kStyleRight},
    {"right", kStyleRight, kStyleLeft | kStyleCenter},
    {"top", kStyleTop, kStyleBottom | kStyleMiddle},
    {"middle", kStyleMiddle, kStyleTop | kStyleBottom},
    {"bottom", kStyleBottom, kStyleTop | kStyleMiddle},
    {"rotatenone", kStyleRotateNone, kStyleRotateX | kStyleRotateY | kStyleRotateZ},
    {"rotatex", kStyleRotateX, kStyleRotateNone | kStyleRotateY | kStyleRotateZ},
    {"rotatey", kStyleRotateY, kStyleRotateNone | kStyleRotateX | kStyleRotateZ},
    {"rotatez", kStyleRotateZ, kStyleRotateNone | kStyleRotateX | kStyleRotateY},
    {"backnormal", kStyleBackNormal, kStyleBackHide},
    {"backhide", kStyleBackHide, kStyleBackNormal},
    {"wipefade", kStyleWipeFade, kStyleWipeNoFade},
    {"wipenofade", kStyleWipeNoFade, kStyleWipeFade},
    {"wipehide", kStyleWipeHide, kStyleWipeNoHide},
    {"wipenohide", kStyleWipeNoHide, kStyleWipeHide},
    {"cache", kStyleCache, kStyleNoCache},
    {"nocache", kStyleNoCache, kStyleCache},
};

bool endsText(char c) { return c == '\0' || c == '\r' || c == '\n'; }

// Space, tab or the full-width space; returns its length in bytes, 0 for anything else.
int blankLength(const char* at) {
  if (*at == ' ' || *at == '\t') return 1;
  if (static_cast<unsigned char>(at[0]) == 0x81 && static_cast<unsigned char>(at[1]) == 0x40)
    return 2;
  return 0;
}

}  // namespace

DisplayStyle parseDisplayStyle(DisplayStyle start, const char* text) {
  DisplayStyle style = start;
  if (text == nullptr) return style;
  const char* at = text;
  while (true) {
    while (int n = blankLength(at)) at += n;
    if (endsText(*at)) return style;
    char word[256];
    std::size_t kept = 0;
    while (!endsText(*at) && blankLength(at) == 0) {
      std::size_t n = isLeadByte(static_cast<unsigned char>(*at)) && !endsText(at[1]) ? 2 : 1;
      if (kept + n < sizeof word) {
        for (std::size_t i = 0; i < n; ++i) word[kept + i] = at[i];
        kept += n;
      }
      at += n;
    }
    word[kept] = '\0';
    const StyleWord* match = nullptr;
    for (const StyleWord& entry : kStyleWords) {
      if (TextEqualsNoCase(word, entry.word)) {
        match = &entry;
        break;
      }
    }
    if (match == nullptr) ScriptError("表示スタイル \"%s\" を認識できません。"_sj, word);
    style = (style & ~match->clears) | match->bit;
  }
}

DisplayStyle applyStateWords(DisplayStyle stored, DisplayStyle parsed) {
  constexpr struct {
    DisplayStyle set, clear;
  } kPairs[] = {{kStyleBackHide, kStyleBackNormal},
                {kStyleWipeFade, kStyleWipeNoFade},
                {kStyleWipeHide, kStyleWipeNoHide}};
  for (const auto& pair : kPairs) {
    if (parsed & pair.set) stored |= pair.set;
    if (parsed & pair.clear) stored &= ~pair.set;
  }
  return stored;
}
