// The item table: reading "item.txt" into it, the saved list of owned numbers, the number
// check every item command makes, and the evidence picture shown over the court.
#include "court/items.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

#include "host/errors.h"
#include "host/host_api.h"
#include "present/frame.h"
#include "present/resources.h"
#include "present/sprite_definition.h"
#include "present/sprites.h"
#include "script/message.h"
#include "script/scenario.h"
#include "script/syntax.h"
#include "support/sjis_literal.h"
#include "support/support.h"

ItemTable gItems;

namespace {

constexpr const char* kBadItemNumber = "アイテム番号 %d は不正"_sj;
constexpr int kCourtSpriteClass = 0;
constexpr int kDefaultSceneFade = 300;

bool IsBlankAt(const char* p) {
  return *p == ' ' || *p == '\t' || (static_cast<unsigned char>(p[0]) == 0x81 && p[1] == 0x40);
}

// One `@item` line into the table; every problem ends the game with the file's message.
void ReadItemLine(const char* line) {
  const char* cursor = line;
  bool ended = false;
  char name[1024];
  char value[1024];
  NextOption(cursor, '\0', ended, name, sizeof name, value, sizeof value);
  if (name[0] == '\0') return;  // a blank line
  if (!TextEqualsNoCase(name, "@item"))
    Fatal("アイテム定義ファイルに不正なコマンド \"%s\" が存在します。"_sj, name);

  int number = -1;
  ItemEntry entry;
  while (!ended) {
    NextOption(cursor, '\0', ended, name, sizeof name, value, sizeof value);
    // Blanks after the last option are not an option of their own.
    if (name[0] == '\0') continue;
    if (TextEqualsNoCase(name, "no")) {
      number = ParseInt(value);
    } else if (TextEqualsNoCase(name, "name")) {
      CopyText(value, entry.name, sizeof entry.name);
    } else if (TextEqualsNoCase(name, "comment")) {
      CopyText(value, entry.comment, sizeof entry.comment);
    } else if (TextEqualsNoCase(name, "image")) {
      CopyText(value, entry.image, sizeof entry.image);
    } else if (TextEqualsNoCase(name, "mag")) {
      CopyText(value, entry.mag, sizeof entry.mag);
    } else if (TextEqualsNoCase(name, "type") && TextEqualsNoCase(value, "chara")) {
      entry.isProfile = 1;
    } else {
      Fatal("アイテム定義ファイルに不正なオプション\"%s\"が存在します"_sj, name);
    }
  }
  // A number past the bound counts as missing: the table would grow to it.
  if (number < 0 || number > kMaxItemNumber || entry.name[0] == '\0' ||
      entry.comment[0] == '\0' || entry.image[0] == '\0')
    Fatal("アイテム定義ファイルにおいてデータが不足しています"_sj);
  auto index = static_cast<std::size_t>(number);
  if (index >= gItems.entries.size()) gItems.entries.resize(index + 1);
  if (gItems.entries[index].name[0] != '\0')
    Fatal("アイテム番号 %d はすでに定義されている"_sj, number);
  gItems.entries[index] = entry;
}

void RestoreOwned(const char* progressFile) {
  char saved[1024];
  GetPrivateProfileStringA("save", "pt_item", "", saved, sizeof saved, progressFile);
  const char* p = saved;
  while (*p != '\0') {
    if (IsBlankAt(p)) {
      p += (*p == ' ' || *p == '\t') ? 1 : 2;
      continue;
    }
    char word[1024];
    std::size_t length = 0;
    while (*p != '\0' && !IsBlankAt(p)) word[length++] = *p++;
    word[length] = '\0';
    checkItem(ParseInt(word)).owned = 1;
  }
}

}  // namespace

void resolveItemSpriteName(const char* name, char* out, std::size_t size) {
  PathBuffer path;
  joinPath(path, gScenarioFolder, name, "spr");
  PathBuffer resolved;
  if (gHost.lbIsFileExist(path))
    joinPath(resolved, gScenarioFolder, name, nullptr);
  else
    joinPath(resolved, "sys", name, nullptr);
  CopyText(resolved, out, size);
}

void loadItems(bool restore, const char* progressFile) {
  gItems.entries.clear();
  PathBuffer path;
  joinPath(path, gScenarioFolder, "item", "txt");
  if (gHost.lbIsFileExist(path)) {
    ResourceHandle file = openFile(path);
    while (const char* line = gHost.lbReadFileLine(hostFile(file))) ReadItemLine(line);
  }
  if (restore) RestoreOwned(progressFile);
}

void saveOwnedItems(char* out, std::size_t size) {
  if (size == 0) return;
  out[0] = '\0';
  std::size_t used = 0;
  for (std::size_t i = 0; i < gItems.entries.size(); ++i) {
    if (!gItems.entries[i].owned) continue;
    char number[16];
    int length = std::snprintf(number, sizeof number, "%d ", static_cast<int>(i));
    // A list that does not fit is cut before the number, never inside it.
    if (used + static_cast<std::size_t>(length) >= size) break;
    std::memcpy(out + used, number, static_cast<std::size_t>(length) + 1);
    used += static_cast<std::size_t>(length);
  }
}

ItemEntry& checkItem(int number) {
  // Compared unsigned, so a negative number is out of range as well.
  auto index = static_cast<std::size_t>(static_cast<unsigned>(number));
  if (index >= gItems.entries.size() || gItems.entries[index].name[0] == '\0')
    ScriptError(kBadItemNumber, number);
  return gItems.entries[index];
}

void gainItem(int number) { checkItem(number).owned = 1; }
void loseItem(int number) { checkItem(number).owned = 0; }

void showItemPicture(int number, bool right) {
  const ItemEntry& entry = checkItem(number);
  char name[kItemImageSize];
  resolveItemSpriteName(entry.image, name, sizeof name);
  setSceneFadeDuration(0);
  const DisplayStyle align = right ? (kStyleRight | kStyleTop) : (kStyleLeft | kStyleTop);
  loadSpriteDefinition(kItemPictureSlot, kCourtSpriteClass, name, right ? 700 : 100, 100,
                       kItemPictureLevel, kStyleShow | kStyleCache | align, "fade");
  setSceneFadeDuration(kDefaultSceneFade);
}

void hideItemPicture() {
  if (!isSpriteValid(kItemPictureSlot)) return;
  setSceneFadeDuration(0);
  hideSprite(kItemPictureSlot, "fade");
  hideSprite(kItemPictureSlot, "none");
  destroySprite(kItemPictureSlot);
  setSceneFadeDuration(kDefaultSceneFade);
}

void showItemMessage(int number, const char* before, const char* after, bool right) {
  const ItemEntry& entry = checkItem(number);
  showItemPicture(number, right);
  for (const char* text : {before, "[cr]", entry.name, "[c]", after})
    ShowMessagePlain(text, 0);
  const bool leaving = ShowMessagePlain("[np]", kStoryMessageMode);
  if (!leaving) hideItemPicture();
}
