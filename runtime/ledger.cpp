#include "ledger.h"

#include <windows.h>

#include <atomic>

namespace {

struct Counts {
  std::atomic<long> created{0};
  std::atomic<long> destroyed{0};
};

Counts gCounts[kHostObjectKinds];

constexpr const char* kNames[kHostObjectKinds] = {"images", "sprites", "fonts", "sounds",
                                                  "streams", "files",   "wipes"};

Counts& countsOf(HostObject kind) { return gCounts[static_cast<int>(kind)]; }

}  // namespace

void ledgerCreated(HostObject kind) { ++countsOf(kind).created; }
void ledgerDestroyed(HostObject kind) { ++countsOf(kind).destroyed; }

long ledgerLive(HostObject kind) { return countsOf(kind).created - countsOf(kind).destroyed; }
long ledgerCreatedTotal(HostObject kind) { return countsOf(kind).created; }

std::string ledgerReport() {
  std::string all, left;
  for (int i = 0; i < kHostObjectKinds; ++i) {
    auto kind = static_cast<HostObject>(i);
    if (ledgerCreatedTotal(kind) == 0) continue;
    all += (all.empty() ? "" : ", ") + std::string(kNames[i]) + " " +
           std::to_string(ledgerCreatedTotal(kind));
    if (ledgerLive(kind) != 0)
      left += (left.empty() ? "" : ", ") + std::string(kNames[i]) + " " +
              std::to_string(ledgerLive(kind));
  }
  if (all.empty()) return "";
  if (!left.empty()) return "host objects left: " + left;
  return "host objects: every one destroyed (" + all + ")";
}

void logLedgerReport() {
  std::string report = ledgerReport();
  if (report.empty()) return;
  report += "\n";
  OutputDebugStringA(report.c_str());
}
