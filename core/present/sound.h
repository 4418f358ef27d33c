// Sound: the music list "bgm/list.txt" and the one background music stream (bgm.cpp), and
// sound effects resolved by name, kept in a small least-recently-used cache and played
// (sound_effects.cpp). The host decodes, mixes and streams; this decides what plays and when.
#pragma once

#include <cstddef>

#include "host/host_api.h"
#include "present/resources.h"
#include "support/support.h"

// ---- Music list and background music (bgm.cpp) -----------------------------------------

constexpr std::size_t kBgmNameSize = 256;
// Entry numbers above this are refused with the list's missing-data message, so a typo in
// the list cannot make the table grow without bound.
constexpr int kBgmMaxNumber = 10000;

// One numbered entry of the music list. An entry with an empty name is a gap.
struct BgmEntry {
  char name[kBgmNameSize] = {};  // what scripts select the music by
  PathBuffer prelude = {};       // under "bgm/", played once before the body
  PathBuffer body = {};          // under "bgm/", repeated without end
};

// Reads "bgm/list.txt" into the music table (a missing file leaves it empty); any line that
// is not a well-formed @bgm line ends the game. Called once by start-up.
void loadBgmList();
// Selects the music by name: the music already selected keeps playing untouched; anything
// else stops the current stream and starts prelude then looping body; "" stops the music.
// A name the list does not know ends the game.
void playBgm(const char* name);
// Empties the music table, destroys the stream and forgets the selection (game end).
void releaseBgm();

// The music table as loaded: its length (largest number defined plus one) and an entry
// (null outside the table).
int bgmEntryCount();
const BgmEntry* bgmEntry(int number);
// The name of the music now selected, "" when none.
const char* selectedBgm();

// ---- Sound effects (sound_effects.cpp) ---------------------------------------------------
// A sound record is a ResourceHandle of kind Sound: its object is the host sound (null when
// the host could not load the file; `hostSound` reads it) and its name the resolved path,
// which the cache compares. Its last release destroys the host sound.

// Sets how many effects the cache keeps (8 at start-up); fewer than 1 keeps one.
void initSoundCache(int limit);

// True when the name exists as written or with ".wav", ".ogg" or ".mp3" added.
bool soundExists(const char* name);
// The effect of that name: the name as written, else name.wav, name.ogg, name.mp3, the first
// that exists. Served from the cache by resolved path (ASCII case ignored) or loaded with
// `loadMode` and cached. No such file: a record with no sound and an empty name, not cached.
ResourceHandle loadSound(const char* name, int loadMode);
// Plays the effect once, after rendering the screen so it starts with its picture. The
// effect is kept alive until the next one starts.
void playSe(const char* name);

// Empties the sound cache, dropping its references (after a failed render; the resource
// caches' flushResourceCaches and releaseResourceCaches call these two).
void flushSoundCache();
// Empties the sound cache and frees its storage (shutdown).
void releaseSoundCache();
// Lets go of the effect last started and of the cache (game end, before the music).
void releaseSoundEffects();
// Effects now in the cache.
std::size_t soundCacheCount();
