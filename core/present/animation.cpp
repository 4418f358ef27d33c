// Cell animation: each sub-sprite of a shown slot steps through the frames of its current
// animation set, one cell of its image at a time, on one timer event per slot that fires
// when the earliest of its sub-sprites is due.
#include <cstddef>

#include "host/host_api.h"
#include "present/resources.h"
#include "present/sprite_definition.h"
#include "present/timers.h"

namespace {

// The frame a sub-sprite is on, or null when it has nothing to animate.
const AnimFrame* currentFrame(const SubSprite& sub) {
  if (sub.animSetCount <= 0 || !sub.animSets) return nullptr;
  if (sub.curAnimSet < 0 || sub.curAnimSet >= static_cast<int>(sub.animSets->size()))
    return nullptr;
  const AnimSet& set = (*sub.animSets)[sub.curAnimSet];
  if (set.frameCount <= 0 || !set.frames) return nullptr;
  if (sub.curFrame < 0 || sub.curFrame >= static_cast<int>(set.frames->size())) return nullptr;
  return &(*set.frames)[sub.curFrame];
}

bool slotInTable(int slot) { return slot >= 0 && slot < kSpriteSlotCount; }

int gQuietFrameSounds = 0;  // QuietFrameSounds alive now

}  // namespace

QuietFrameSounds::QuietFrameSounds() { ++gQuietFrameSounds; }
QuietFrameSounds::~QuietFrameSounds() { --gQuietFrameSounds; }

void showCell(const SubSprite& sub, int cell) {
  // A negative cell (definitions bound cells only from above) puts the offset outside the
  // picture; it is worked out wide so it cannot overflow.
  const long long cellsPerRow = sub.cellsPerRow > 0 ? sub.cellsPerRow : 1;
  gHost.lbtsSetImagePos(hostImage(sub.image), clampToInt(sub.cellWidth * (cell % cellsPerRow)),
                        clampToInt(sub.cellHeight * (cell / cellsPerRow)));
}

void applyFrame(SubSprite& sub) {
  const AnimFrame* frame = currentFrame(sub);
  if (frame == nullptr) {
    gHost.lbtsSetImagePos(hostImage(sub.image), 0, 0);
    sub.remaining = -1;
    return;
  }
  showCell(sub, frame->cell);
  sub.remaining = frame->duration;
  if (LbSound sound = hostSound(frame->sound); sound && gQuietFrameSounds == 0)
    gHost.lbPlaySound(sound, 0);
}

void scheduleAnimation(int slot) {
  if (!slotInTable(slot)) return;
  SpriteSlot& s = gSprites[slot];
  if (!s.subs) {
    s.animTimer = -1;
    return;
  }
  int soonest = -1;
  for (const SubSprite& sub : *s.subs)
    if (sub.remaining >= 0 && (soonest < 0 || sub.remaining < soonest)) soonest = sub.remaining;
  if (soonest < 0) {
    s.animTimer = -1;
    return;
  }
  s.animTimer = addTimerEvent(animationTick, static_cast<std::uint32_t>(slot),
                              static_cast<std::uint32_t>(soonest));
  // What is left afterwards is counted from the event, so the sub-sprites due at it are the
  // ones at 0.
  for (SubSprite& sub : *s.subs)
    if (sub.remaining >= 0) sub.remaining -= soonest;
}

void animationTick(std::uint32_t argument) {
  const int slot = static_cast<int>(argument);
  if (!slotInTable(slot)) return;
  SpriteSlot& s = gSprites[slot];
  // The event that called us is already spent.
  s.animTimer = -1;
  if ((s.flags & kSlotValid) == 0 || !s.subs) return;
  for (SubSprite& sub : *s.subs) {
    if (sub.remaining != 0 || currentFrame(sub) == nullptr) continue;
    if (++sub.curFrame >= (*sub.animSets)[sub.curAnimSet].frameCount) sub.curFrame = 0;
    applyFrame(sub);
  }
  scheduleAnimation(slot);
}

bool setAnimSet(int slot, int set) {
  SpriteSlot& s = requireSprite(slot);
  // A set below 0 means the first; one past the last means the last.
  if (set < 0) set = 0;
  bool changed = false;
  if (s.subs) {
    for (SubSprite& sub : *s.subs) {
      if (sub.animSetCount <= 0) continue;
      const int chosen = set < sub.animSetCount ? set : sub.animSetCount - 1;
      if (chosen == sub.curAnimSet) continue;
      sub.curAnimSet = chosen;
      sub.curFrame = 0;
      applyFrame(sub);
      changed = true;
    }
  }
  if (!changed) return false;
  removeTimerEvent(s.animTimer);
  s.animTimer = -1;
  if ((s.flags & kSlotRealized) != 0) scheduleAnimation(slot);
  return true;
}
