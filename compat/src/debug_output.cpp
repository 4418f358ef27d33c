/*
 * The debugger output: every OutputDebugStringA text goes to standard error as it is and,
 * when the launcher asks, is appended to a log file that is flushed at once, so the log
 * survives a crash.
 */
#include "wincompat.h"
#include "windows.h"

#include <cstdio>
#include <cstring>
#include <mutex>

namespace {

std::mutex logLock;
FILE* logFile = nullptr;

}  // namespace

extern "C" int compatSetDebugLogFile(const char* utf8Path) {
  std::lock_guard<std::mutex> guard(logLock);
  FILE* opened = nullptr;
  if (utf8Path != nullptr) {
    opened = std::fopen(utf8Path, "ab");
    if (opened == nullptr) return 0;  // keep the old log rather than lose it
  }
  if (logFile != nullptr) std::fclose(logFile);
  logFile = opened;
  return 1;
}

extern "C" void WINAPI OutputDebugStringA(LPCSTR text) {
  if (text == nullptr) return;
  size_t length = std::strlen(text);
  std::lock_guard<std::mutex> guard(logLock);
  std::fwrite(text, 1, length, stderr);
  std::fflush(stderr);
  if (logFile != nullptr) {
    std::fwrite(text, 1, length, logFile);
    std::fflush(logFile);
  }
}
