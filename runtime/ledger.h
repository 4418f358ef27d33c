/*
 * The ledger of host objects: how many of each kind the game created through the lb API and
 * has not destroyed yet. At shutdown the runtime writes one line to the debug log saying
 * that every object was destroyed, or how many of which kind were left behind, so a replay
 * shows at once when the game forgot to release something.
 */
#ifndef ORVANE_RUNTIME_LEDGER_H
#define ORVANE_RUNTIME_LEDGER_H

#include <string>

enum class HostObject { Image, Sprite, Font, Sound, Stream, File, Wipe };
constexpr int kHostObjectKinds = 7;

// Counts an object the game received (call only when the create function succeeds) and one
// it destroyed (only when the destroy function accepted the handle).
void ledgerCreated(HostObject kind);
void ledgerDestroyed(HostObject kind);

// Counts `object` as created when it is not null, and returns it.
template <typename T>
T counted(HostObject kind, T object) {
  if (object) ledgerCreated(kind);
  return object;
}

// Objects of the kind created and not destroyed, and created in all.
long ledgerLive(HostObject kind);
long ledgerCreatedTotal(HostObject kind);

// "host objects: every one destroyed (images 12, sprites 30, ...)" or "host objects left:
// images 2, fonts 1"; empty when the game never created anything.
std::string ledgerReport();
// Writes the report, when there is one, to the debug log.
void logLedgerReport();

// What the process holds right now, for the soak that replays the game for hours:
// "rss_kb=N heap_kb=N fds=N images=N sprites=N fonts=N sounds=N streams=N files=N wipes=N"
// (resident memory, heap bytes in use, open file descriptors, live host objects by kind).
std::string usageReport();

#endif  // ORVANE_RUNTIME_LEDGER_H
