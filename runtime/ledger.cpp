#include "ledger.h"

#include <windows.h>

#include <dirent.h>
#include <malloc.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>

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

namespace {

long residentKb() {
  long pages = 0, resident = 0;
  FILE* statm = std::fopen("/proc/self/statm", "r");
  if (!statm) return -1;
  bool ok = std::fscanf(statm, "%ld %ld", &pages, &resident) == 2;
  std::fclose(statm);
  return ok ? resident * (sysconf(_SC_PAGESIZE) / 1024) : -1;
}

// Bytes handed out by malloc and not freed, mapped blocks included.
long heapKb() {
  struct mallinfo2 info = mallinfo2();
  return long((info.uordblks + info.hblkhd) / 1024);
}

long openDescriptors() {
  DIR* dir = opendir("/proc/self/fd");
  if (!dir) return -1;
  long count = 0;
  while (const dirent* entry = readdir(dir))
    if (entry->d_name[0] != '.') ++count;
  closedir(dir);
  return count - 1;  // the listing's own descriptor
}

}  // namespace

std::string usageReport() {
  std::string report = "rss_kb=" + std::to_string(residentKb()) +
                       " heap_kb=" + std::to_string(heapKb()) +
                       " fds=" + std::to_string(openDescriptors());
  for (int i = 0; i < kHostObjectKinds; ++i)
    report += " " + std::string(kNames[i]) + "=" +
              std::to_string(ledgerLive(static_cast<HostObject>(i)));
  return report;
}
