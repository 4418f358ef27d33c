// Background music: the numbered music list read from "bgm/list.txt" at start-up, and the one
// host stream that plays the selected piece, its prelude once and then its body for ever.
#include <vector>

#include "host/errors.h"
#include "present/sound.h"
#include "script/syntax.h"
#include "support/sjis_literal.h"

namespace {

constexpr const char* kListFile = "bgm/list.txt";
constexpr const char* kMusicFolder = "bgm";

std::vector<BgmEntry> gBgmTable;
char gSelected[kBgmNameSize] = {};
LbStream gStream = nullptr;

void stopStream() {
  if (gStream == nullptr) return;
  gHost.lbStopStream(gStream);
  gHost.lbDestroyStream(gStream);
  gStream = nullptr;
}

// One non-blank line of the list, from its first token on; stores the entry or ends the game.
void readListLine(const char* line) {
  const char* cursor = line;
  bool ended = false;
  char name[kBgmNameSize];
  char value[kPathSize];
  NextOption(cursor, 0, ended, name, sizeof name, value, sizeof value);
  if (name[0] == '\0') return;  // an empty or blank line
  if (!TextEqualsNoCase(name, "@bgm"))
    Fatal("BGM定義ファイルに不正なコマンド \"%s\" が存在します。"_sj, name);

  int number = -1;
  BgmEntry entry;
  while (!ended) {
    NextOption(cursor, 0, ended, name, sizeof name, value, sizeof value);
    if (name[0] == '\0') continue;  // what a line ending in blanks leaves behind
    if (TextEqualsNoCase(name, "no")) number = ParseInt(value);
    else if (TextEqualsNoCase(name, "name")) CopyText(value, entry.name, sizeof entry.name);
    else if (TextEqualsNoCase(name, "prelude")) CopyText(value, entry.prelude, sizeof entry.prelude);
    else if (TextEqualsNoCase(name, "body")) CopyText(value, entry.body, sizeof entry.body);
    else Fatal("BGM定義ファイルに不正なオプション\"%s\"が存在します"_sj, name);
  }
  // A number past the bound is most likely a typo; growing the table to it would cost
  // memory for nothing, so it counts as data missing, like a number never given.
  if (number < 0 || number > kBgmMaxNumber || entry.name[0] == '\0')
    Fatal("BGM定義ファイルにおいてデータが不足しています"_sj);
  if (gBgmTable.size() <= static_cast<std::size_t>(number)) gBgmTable.resize(number + 1);
  gBgmTable[number] = entry;
}

}  // namespace

void loadBgmList() {
  gBgmTable.clear();
  gSelected[0] = '\0';
  // Only start-up loads the list, so no stream exists yet; should one, it is ended rather
  // than left playing with nobody holding it.
  stopStream();
  if (!gHost.lbIsFileExist(kListFile)) return;

  ResourceHandle file = openFile(kListFile);
  while (const char* line = gHost.lbReadFileLine(hostFile(file))) readListLine(line);
}

void playBgm(const char* name) {
  if (TextEqualsNoCase(name, gSelected)) return;  // already playing: no restart
  CopyText(name, gSelected, sizeof gSelected);
  stopStream();
  if (gSelected[0] == '\0') return;

  const BgmEntry* found = nullptr;
  for (const BgmEntry& entry : gBgmTable) {
    if (entry.name[0] != '\0' && TextEqualsNoCase(entry.name, gSelected)) {
      found = &entry;
      break;
    }
  }
  if (found == nullptr) Fatal("BGM \"%s\" を再生できません。"_sj, gSelected);
  if (found->prelude[0] == '\0' && found->body[0] == '\0') return;

  gStream = gHost.lbCreateStream();
  PathBuffer path;
  if (found->prelude[0] != '\0') {
    joinPath(path, kMusicFolder, found->prelude, nullptr);
    gHost.lbAddStreamList(gStream, path, 0, 0, 0);
  }
  if (found->body[0] != '\0') {
    joinPath(path, kMusicFolder, found->body, nullptr);
    gHost.lbAddStreamList(gStream, path, -1, 0, 0);
  }
  gHost.lbPlayStream(gStream);
}

void releaseBgm() {
  gBgmTable.clear();
  gBgmTable.shrink_to_fit();
  if (gStream != nullptr) gHost.lbDestroyStream(gStream);
  gStream = nullptr;
  gSelected[0] = '\0';
}

int bgmEntryCount() { return static_cast<int>(gBgmTable.size()); }

const BgmEntry* bgmEntry(int number) {
  if (number < 0 || static_cast<std::size_t>(number) >= gBgmTable.size()) return nullptr;
  return &gBgmTable[number];
}

const char* selectedBgm() { return gSelected; }
