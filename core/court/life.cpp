// The life value, the no-life target, the gauge and loss sprites, the loss itself with its
// nested no-life run, and the two keys under which a saved game keeps them.
#include "court/life.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

#include "host/errors.h"
#include "present/frame.h"
#include "present/sound.h"
#include "present/sprite_definition.h"
#include "present/sprites.h"
#include "present/transitions.h"
#include "script/message.h"
#include "script/scenario.h"
#include "script/syntax.h"
#include "support/sjis_literal.h"

namespace {

constexpr const char* kSection = "save";
constexpr const char* kDefaultNolifeTarget = "start:nolife";
constexpr int kStartLife = 5;
// The gauge's right edge sits on the screen's, one unit's height below the top; each unit
// is as wide as that.
constexpr int kGaugeRight = 800;
constexpr int kGaugeTop = 43;
constexpr int kUnitWidth = 43;
constexpr int kSceneFadeAfter = 300;

int gLife = kStartLife;
char gNolifeTarget[kNolifeTargetSize] = "start:nolife";

// The court sprites are script-numbered slots that scripts may also use; the gauge is
// "there" only while its slot is in use.
bool gaugeExists() { return isSpriteValid(kLifeGaugeSlot); }

// Shows or hides with the scene fade-out off, so nothing else fades with the gauge, and
// leaves the fade at its usual length afterwards.
void withoutSceneFade(void (*change)(int slot, const char* transition), const char* transition) {
  setSceneFadeDuration(0);
  change(kLifeGaugeSlot, transition);
  setSceneFadeDuration(kSceneFadeAfter);
}

void showGauge(int slot, const char* transition) { showSprite(slot, kNoSlot, transition); }

// The file of the scenario running now, as a target names it: its path less the scenario
// folder and the extension. Empty when no scenario runs or its path is not of the folder.
void currentScenarioFile(char (&file)[kScenarioTextSize]) {
  file[0] = '\0';
  const Scenario* scenario = CurrentScenario();
  if (!scenario || scenario->path[0] == '\0') return;
  char prefix[kScenarioTextSize];
  ScenarioFilePath(gScenarioFolder, "", prefix);  // "<folder>/.scn"
  std::size_t folderLength = std::strlen(prefix) - 4;
  std::size_t pathLength = std::strlen(scenario->path);
  if (pathLength < folderLength + 4 || std::strncmp(scenario->path, prefix, folderLength) != 0)
    return;
  std::size_t nameLength = pathLength - folderLength - 4;
  std::memcpy(file, scenario->path + folderLength, nameLength);
  file[nameLength] = '\0';
}

// A no-life scenario that loses its last unit again starts another nested run. A script that
// does so for ever would exhaust the stack, so the nesting is bounded and reported instead.
constexpr int kMaxNolifeDepth = 16;
int gNolifeDepth = 0;

struct NolifeDepth {
  NolifeDepth() { ++gNolifeDepth; }
  ~NolifeDepth() { --gNolifeDepth; }
};

// Plays the no-life target to its end. A bare label means the file of the scenario that
// lost the last unit: the new scenario has no file of its own to look it up in.
void runNolifeTarget() {
  if (gNolifeDepth >= kMaxNolifeDepth)
    ScriptError("ライフが尽きたときのシナリオの中で、さらにライフが尽きすぎています。"_sj);
  NolifeDepth depth;
  char file[kScenarioTextSize];
  currentScenarioFile(file);
  char target[kNolifeTargetSize];
  std::memcpy(target, gNolifeTarget, sizeof target);

  Scenario nested;
  if (file[0] != '\0')
    JumpWithDefaultFile(nested, target, file);
  else
    Jump(nested, target);
  RunLines(nested, kNormalScenario);

  if (Scenario* current = CurrentScenario())
    CopyText(nested.result, current->result, kScenarioResultSize);
}

}  // namespace

void loadLife(bool restore, const char* progressFile) {
  gLife = kStartLife;
  CopyText(kDefaultNolifeTarget, gNolifeTarget, kNolifeTargetSize);
  if (!restore || !progressFile) return;
  gLife = static_cast<int>(GetPrivateProfileIntA(kSection, "pt_life", kStartLife, progressFile));
  char target[kNolifeTargetSize];
  GetPrivateProfileStringA(kSection, "pt_nolife", kDefaultNolifeTarget, target, sizeof target,
                           progressFile);
  CopyText(target, gNolifeTarget, kNolifeTargetSize);
}

bool saveLife(const char* progressFile) {
  char text[16];
  std::snprintf(text, sizeof text, "%d", gLife);
  return WritePrivateProfileStringA(kSection, "pt_life", text, progressFile) &&
         WritePrivateProfileStringA(kSection, "pt_nolife", gNolifeTarget, progressFile);
}

void setLife(int value) {
  if (value < 1 || value > kMaxLife)
    ScriptError("@courtSetLifeで設定したライフの値 \"%d\" は不正です。"_sj, value);
  gLife = value;
}

void showLife(bool noTransition) {
  if (gLife <= 0) {
    hideLife(noTransition);
    return;
  }
  if (!gaugeExists()) {
    loadSpriteDefinition(kLifeGaugeSlot, 0, "sys/court_life", kGaugeRight, kGaugeTop,
                         kLifeGaugeLevel, parseDisplayStyle(0, "right top hide cache"), "none");
  }
  setAnimSet(kLifeGaugeSlot, gLife - 1);
  withoutSceneFade(showGauge, noTransition ? "none" : "fade");
}

void hideLife(bool noTransition) {
  if (!gaugeExists()) return;
  setSceneFadeDuration(0);
  hideSprite(kLifeGaugeSlot, noTransition ? "none" : "fade");
  destroySprite(kLifeGaugeSlot);
  setSceneFadeDuration(kSceneFadeAfter);
}

bool reduceLife() {
  if (gLife <= 0) return true;
  bool shownForThisLoss = false;
  if (!gaugeExists()) {
    showLife(false);
    shownForThisLoss = true;
  }
  playSe("sys/se/HP減少"_sj);

  // The loss picture covers the unit about to go.
  loadSpriteDefinition(kLifeLossSlot, 0, "sys/court_lifedown", kGaugeRight - kUnitWidth * gLife,
                       kGaugeTop, kLifeLossLevel,
                       parseDisplayStyle(0, "left top show wipehide cache"), "none");
  renderScreen();
  ShowMessagePlain("[w 1200]", 0);

  --gLife;
  if (shownForThisLoss || gLife <= 0)
    hideLife(false);
  else
    setAnimSet(kLifeGaugeSlot, gLife - 1);
  hideSprite(kLifeLossSlot, "none");
  destroySprite(kLifeLossSlot);

  if (gLife > 0) return false;
  runNolifeTarget();
  return true;
}

void setNolifeTarget(const char* target) {
  CopyText(target ? target : "", gNolifeTarget, kNolifeTargetSize);
}

int currentLife() { return gLife; }

const char* nolifeTarget() { return gNolifeTarget; }
