/*
 * The debugger output: every OutputDebugStringA text goes to standard error, readable on
 * a UTF-8 terminal, and, when the launcher asks, is appended byte for byte to a log file
 * that is flushed at once, so the log survives a crash.
 */
#include "wincompat.h"
#include "windows.h"

#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>

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
  // The texts are Shift-JIS; the terminal gets them in UTF-8 (as they are when they do not
  // convert, so nothing is ever lost).
  std::string utf8(length * 3 / 2 + 1, '\0');
  int converted = compatSjisToUtf8(text, utf8.data(), utf8.size());
  std::lock_guard<std::mutex> guard(logLock);
  if (converted >= 0) std::fwrite(utf8.data(), 1, static_cast<size_t>(converted), stderr);
  else std::fwrite(text, 1, length, stderr);
  std::fflush(stderr);
  if (logFile != nullptr) {
    std::fwrite(text, 1, length, logFile);
    std::fflush(logFile);
  }
}
