/*
 * The play-list sequencer of music streams, kept apart from the mixer so it can be checked
 * sample by sample: fillFromPlaylist copies the next bytes of a play list into a buffer.
 */
#ifndef ORVANE_RUNTIME_AUDIO_H
#define ORVANE_RUNTIME_AUDIO_H

#include <cstddef>
#include <cstdint>
#include <vector>

// One decoded entry: its samples and how often it plays again after the first time
// (0 once, -1 for ever).
struct PlaylistEntry {
  const uint8_t* data;
  size_t size;
  int repeat;
};

struct PlaylistCursor {
  size_t entry = 0;  // the entry playing; past the end when the list is done
  size_t pos = 0;    // bytes of it already played
  int played = 0;    // repeats of it already played
};

// Fills out with up to len bytes of the play list from the cursor on, moving the cursor;
// returns the bytes written (less than len only when the list has ended).
size_t fillFromPlaylist(const std::vector<PlaylistEntry>& entries, PlaylistCursor& cursor,
                        uint8_t* out, size_t len);

#endif  // ORVANE_RUNTIME_AUDIO_H
