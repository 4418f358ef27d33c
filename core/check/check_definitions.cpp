// The definition files every scenario shares: sprite definitions (read and built exactly as
// the game builds them, pictures and sounds included), motion files (read against a table
// of stand-in sprites, since the real ones exist only while a scene plays) and the music
// list with the files of each piece.
#include "check/check_internal.h"
#include "host/host_api.h"
#include "present/motion.h"
#include "present/sound.h"
#include "present/sprite_definition.h"
#include "present/sprites.h"
#include "script/syntax.h"
#include "support/support.h"

namespace {

constexpr int kCheckSlot = kUserSlotBase;
constexpr int kLastUserSlot = 119;

void BuildStandIns() {
  for (int slot = kUserSlotBase; slot <= kLastUserSlot; ++slot)
    buildColourSprite(slot, 0, 1, 1, "black", 0, 0, 0, 0, -1, kStyleHide, "", "none");
}

// The sounds a compound definition gives its frames: the rest of an `se` value after its set
// and frame numbers. The reader loads them quietly (a missing one plays nothing), so the
// checker looks for them itself.
void CheckFrameSounds(CheckReport& report, const std::string& file) {
  const std::vector<std::string>& lines = LinesRead(file);
  for (std::size_t i = 1; i < lines.size(); ++i) {
    const char* cursor = lines[i].c_str();
    bool ended = false;
    char name[1024];
    char value[1024];
    NextOption(cursor, '\0', ended, name, sizeof name, value, sizeof value);
    while (!ended) {
      NextOption(cursor, '\0', ended, name, sizeof name, value, sizeof value);
      if (!TextEqualsNoCase(name, "se")) continue;
      const char* sound = value;
      for (int word = 0; word < 2; ++word) {
        SkipBlanks(sound);
        SkipToBlank(sound);
      }
      SkipBlanks(sound);
      if (*sound != '\0' && !soundExists(sound))
        AddFinding(report, file, static_cast<int>(i), false,
                   "the sound \"" + std::string(sound) + "\" names no file");
    }
  }
}

}  // namespace

void CheckSpriteDefinitions(CheckReport& report, const std::vector<std::string>& files) {
  for (const std::string& file : files) {
    if (Extension(file) != "spr") continue;
    const std::string name = WithoutExtension(file);
    CheckDefinitionFile(report, file, false, [&] {
      loadSpriteDefinition(kCheckSlot, 0, name.c_str(), 0, 0, -1, kStyleHide, "none");
    });
    std::string ignored;
    RunUnit([] { destroySprite(kCheckSlot); }, ignored);
    CheckFrameSounds(report, file);
  }
}

void CheckMotions(CheckReport& report, const std::vector<std::string>& files) {
  std::string message;
  if (!RunUnit(BuildStandIns, message)) {
    AddFinding(report, "", 0, false, message);
    return;
  }
  for (const std::string& file : files) {
    if (Extension(file) != "mot") continue;
    const std::string name = WithoutExtension(file);
    // Sprite numbers count from the first script sprite, as for @sprLoadMotion.
    CheckDefinitionFile(report, file, true, [&] { loadMotion(kUserSlotBase, name.c_str(), false); });
    resetMotions();
  }
  RunUnit(destroyUserSprites, message);
}

void CheckMusicList(CheckReport& report) {
  const std::string list = "bgm/list.txt";
  CheckDefinitionFile(report, list, true, loadBgmList);
  // Prelude and body are played as written, under the music folder.
  const std::vector<std::string>& lines = LinesRead(list);
  for (int number = 0; number < bgmEntryCount(); ++number) {
    const BgmEntry* entry = bgmEntry(number);
    if (!entry || entry->name[0] == '\0') continue;
    for (const char* piece : {entry->prelude, entry->body}) {
      if (piece[0] == '\0') continue;
      PathBuffer path;
      joinPath(path, "bgm", piece, nullptr);
      if (!gHost.lbIsFileExist(path))
        AddFinding(report, list, LineWithOption(lines, "name", entry->name), false,
                   "the music \"" + std::string(entry->name) + "\" plays \"" + path +
                       "\", which does not exist");
    }
  }
}
