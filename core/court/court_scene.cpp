// The courtroom stage record, the court sprite table, name resolution, the background and
// the foreground band, the background pan and the five court positions. The character
// places live in characters.cpp.
#include "court/court_scene.h"

#include <windows.h>

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "game/build_constants.h"
#include "host/host_api.h"
#include "present/frame.h"
#include "present/sprite_definition.h"
#include "script/scenario.h"
#include "script/syntax.h"

CourtSpriteEntry CourtSpriteTable[kCourtSpriteCount] = {
    {27, 16, 0, 0},  // character, left place
    {29, 17, 0, 0},  // character, right place
    {28, 18, 0, 0},  // character, centre place: over the right one, which is over the left
    {41, 19, 0, 0},  // foreground band, over the characters
    {30, 20, 1, 0},  // testimony and cross-examination title logo
    {20, 20, 1, 0},  // speaker name plate
    {22, 21, 1, 0},  // court record screen parts
    {23, 21, 1, 0},
    {24, 21, 1, 0},
    {25, 21, 1, 0},
    {26, 21, 1, 0},
    {42, 21, 1, 0},
    {31, 21, 1, 0},  // press and present buttons
    {32, 21, 1, 0},
    {36, 21, 1, 0},  // life gauge
    {37, 22, 1, 0},  // life-loss animation
    {21, 82, 1, 0},  // evidence picture
    {43, 82, 0, 0},  // court record screen
    {33, 82, 1, 0},  // previous and next statement buttons
    {34, 82, 1, 0},
    {38, 82, 1, 0},  // court-record button
    {35, 83, 1, 0},  // exclamation
    {39, 83, 1, 0},  // verdict
    {40, 83, 1, 0},
};

namespace {

// The stage as every top-level run starts it: places on their entries and alignments.
CourtScene emptyScene() {
  static constexpr std::uint32_t kEntries[kCharaPlaceCount] = {
      kCourtEntryCharaLeft, kCourtEntryCharaCenter, kCourtEntryCharaRight};
  static constexpr const char* kAlignments[kCharaPlaceCount] = {
      "left bottom", "center bottom", "right bottom"};
  CourtScene scene;
  for (int i = 0; i < kCharaPlaceCount; ++i) {
    CharaPlace& place = scene.places[i];
    place.courtEntry = kEntries[i];
    CopyText(kAlignments[i], place.alignmentText, sizeof place.alignmentText);
    place.alignment = kStyleBottom | (i == kCharaPlaceLeft     ? kStyleLeft
                                      : i == kCharaPlaceCenter ? kStyleCenter
                                                               : kStyleRight);
  }
  return scene;
}

constexpr const char* kMainBack = "bg_court_main";
constexpr const char* kMainFront = "fg_court_main";
constexpr int kMainFrontY = 589;
constexpr const char* kJudgeBack = "bg_court_judge";
constexpr const char* kJudgeFront = "fg_court_judge";
constexpr int kJudgeFrontY = 438;
constexpr const char* kGuideBack = "bg_court_guide";
// Pixels per 100 ms of the pans between the three places of the main court.
constexpr float kCourtPanSpeed = 500.0f;

// Takes the foreground band and its record away.
void deleteForeground() {
  hideSprite(kCourtForegroundSlot, "none");
  destroySprite(kCourtForegroundSlot);
}

void setMainCourtBack(int x, bool noScroll, bool keepCharacters, bool wipe, bool fade) {
  if (isBackShown(kMainBack)) {
    // The three places are one wide picture: moving between them keeps the stage.
    panBack(x, noScroll ? 0.0f : kCourtPanSpeed);
    return;
  }
  setBack(kMainBack, "", x, keepCharacters, fade ? "fade" : "", !wipe);
  setFront(kMainFront, 0, kMainFrontY, true);
}

}  // namespace

CourtScene gCourtScene = emptyScene();

void resetCourtScene() { gCourtScene = emptyScene(); }

void resolveSpriteName(PathBuffer& out, const char* name) {
  PathBuffer definition;
  joinPath(definition, gScenarioFolder, name, "spr");
  if (gHost.lbIsFileExist(definition)) {
    joinPath(out, gScenarioFolder, name, nullptr);
  } else {
    joinPath(out, "sys", name, nullptr);
  }
}

bool isBackShown(const char* name) {
  if (name == nullptr || name[0] == '\0') return false;
  PathBuffer candidate;
  joinPath(candidate, gScenarioFolder, name, nullptr);
  if (std::strcmp(candidate, gCourtScene.backPath) == 0) return true;
  joinPath(candidate, "sys", name, nullptr);
  return std::strcmp(candidate, gCourtScene.backPath) == 0;
}

void setBack(const char* name, const char* colour, int x, bool keepCharacters,
             const char* wipe, bool noWipe) {
  if (name != nullptr && name[0] != '\0') {
    resolveSpriteName(gCourtScene.backPath, name);
  } else {
    gCourtScene.backPath[0] = '\0';
  }
  gCourtScene.backX = x;

  // The band belongs to the old background: it leaves with it, not after it.
  if (isSpriteValid(kCourtForegroundSlot))
    setSpriteStateStyle(kCourtForegroundSlot, "backhide wipenofade wipenohide");
  gCourtScene.frontPath[0] = '\0';

  const char* characterStyle = keepCharacters ? "backnormal wipenofade wipenohide"
                                              : "backhide wipenofade wipenohide";
  for (const CharaPlace& place : gCourtScene.places) {
    const int slot = CourtSpriteTable[place.courtEntry].slot;
    if (isSpriteValid(slot)) setSpriteStateStyle(slot, characterStyle);
  }

  // Kept characters are moved onto the new background before anything shows, so the change
  // is one cut; otherwise the new background comes in through its transition.
  const char* transition = keepCharacters ? "none"
                           : noWipe        ? "none"
                           : (wipe != nullptr && wipe[0] != '\0') ? wipe
                                                                  : "bg";
  const char* styleWords = keepCharacters ? "hide cache" : "cache";
  if (gCourtScene.backPath[0] != '\0') {
    loadSpriteDefinition(kBackgroundSlot, kCourtBackgroundClass, gCourtScene.backPath, x, 0,
                         kCourtBackgroundLevel, parseDisplayStyle(0, styleWords), transition);
  } else {
    buildColourSprite(kBackgroundSlot, kCourtBackgroundClass, 1, 1, colour ? colour : "", 0, 0,
                      kScreenWidth, kScreenHeight, kCourtBackgroundLevel, 0, styleWords,
                      transition);
  }

  if (keepCharacters) {
    for (int i = 0; i < kCharaPlaceCount; ++i) {
      const int slot = CourtSpriteTable[gCourtScene.places[i].courtEntry].slot;
      if (!isSpriteValid(slot)) continue;
      connectSprite(slot, kBackgroundSlot);
      placeChara(i);
    }
    showSprite(kBackgroundSlot, kNoSlot, "none");
  } else {
    for (CharaPlace& place : gCourtScene.places) {
      const int slot = CourtSpriteTable[place.courtEntry].slot;
      hideSprite(slot, "none");
      destroySprite(slot);
      place.path[0] = '\0';
    }
  }
  deleteForeground();
}

void setFront(const char* name, int x, int y, bool noWipe) {
  resolveSpriteName(gCourtScene.frontPath, name);
  loadSpriteDefinition(kCourtForegroundSlot, 0, gCourtScene.frontPath, 0, 0,
                       kCourtForegroundLevel,
                       parseDisplayStyle(0, "hide backhide wipenofade wipenohide cache"), "none");
  if (isSpriteValid(kCourtForegroundSlot) && isSpriteValid(kBackgroundSlot))
    connectSprite(kCourtForegroundSlot, kBackgroundSlot);
  setSpritePos(kCourtForegroundSlot, x, y, kStyleLeft | kStyleTop);
  showSprite(kCourtForegroundSlot, kNoSlot, noWipe ? "none" : "fade");
}

void panBack(int x, float speed) {
  requireSprite(kBackgroundSlot);
  const int startX = gCourtScene.backX;
  if (speed > 0.0f) {
    const long duration = std::lround(std::abs(x - startX) * 100.0 / speed);
    pumpFrame();
    const DWORD start = timeGetTime();
    for (;;) {
      const DWORD elapsed = timeGetTime() - start;
      const double progress =
          duration <= 0 ? 1.0 : std::fmin(1.0, static_cast<double>(elapsed) / duration);
      const int at = static_cast<int>(std::lround(startX + (x - startX) * progress));
      setSpritePos(kBackgroundSlot, at, 0, kStyleLeft | kStyleTop);
      renderScreen();
      pumpFrame();
      if (static_cast<long>(elapsed) >= duration) break;
    }
  }
  gCourtScene.backX = x;
  setSpritePos(kBackgroundSlot, x, 0, kStyleLeft | kStyleTop);
}

void setLawyerBack(bool noScroll, bool keepCharacters, bool wipe, bool fade) {
  setMainCourtBack(0, noScroll, keepCharacters, wipe, fade);
}

void setWitnessBack(bool noScroll, bool keepCharacters, bool wipe, bool fade) {
  setMainCourtBack(-928, noScroll, keepCharacters, wipe, fade);
}

void setProsecutorBack(bool noScroll, bool keepCharacters, bool wipe, bool fade) {
  setMainCourtBack(-1856, noScroll, keepCharacters, wipe, fade);
}

void setJudgeBack(bool keepCharacters, bool wipe, bool fade) {
  if (isBackShown(kJudgeBack)) return;
  setBack(kJudgeBack, "", 0, keepCharacters, fade ? "fade" : "", !wipe);
  setFront(kJudgeFront, 0, kJudgeFrontY, true);
}

void setGuideBack(bool keepCharacters, bool wipe, bool fade) {
  if (isBackShown(kGuideBack)) return;
  // The guide has no band: the one setBack took away stays away.
  setBack(kGuideBack, "", 0, keepCharacters, fade ? "fade" : "", !wipe);
}
