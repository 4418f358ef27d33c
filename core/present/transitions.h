// Wipes and transitions: the table of named wipes (cross-fades and mask wipes) and the
// transition engine that shows one slot while hiding another, takes the wipehide
// companions along and, for backgrounds, sweeps over a capture of the old screen.
#pragma once

#include <cstdint>

#include "present/resources.h"
#include "support/support.h"

constexpr int kWipeNameSize = 256;

// A registered wipe. A wipe with a mask sweeps the mask's level from 0 to 1 over the
// sprites; without one it cross-fades their corner alpha.
struct WipeRecord {
  char name[kWipeNameSize] = {};  // 255 bytes kept
  ResourceHandle mask;            // empty for a cross-fade
  std::uint32_t duration = 0;     // ms
  std::uint32_t postWait = 0;     // ms waited after the transition
};
using WipeHandle = SharedHandle<WipeRecord>;

// Adds a wipe: mask names a wipe image ("" for a cross-fade); negative times become 0.
// A name already registered ends the game.
void registerWipe(const char* name, const char* mask, std::int32_t duration,
                  std::int32_t postWait);
// The wipe of that name (ASCII case ignored); an unknown name ends the game.
WipeHandle findWipe(const char* name);
// Empties the table (shutdown).
void clearWipes();
// Registers "logofade", "fade", "bg", "wipe" and "slowwipe" (start-up).
void registerStandardWipes();
// Shows slot `show` while hiding slot `hide` (120 = none) with the named transition;
// `subject` is the slot the show or hide is about. "" stands for the default wipe name,
// "none" changes at once.
void runTransition(int hide, int subject, int show, const char* name);
