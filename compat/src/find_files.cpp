/*
 * Directory scans (FindFirstFileA, FindNextFileA, FindClose): `*` and `?` in the last
 * component matched without ASCII case, the folder found without case, names reported in
 * Shift-JIS in a stable order.
 */
#include "compat_internal.h"
#include "windows.h"

#include <algorithm>
#include <cstring>
#include <dirent.h>
#include <memory>
#include <mutex>
#include <set>
#include <sys/stat.h>
#include <vector>

namespace {

struct FindEntry {
  std::string sjisName;
  WIN32_FIND_DATAA data;
};

struct FindScan {
  std::vector<FindEntry> entries;
  size_t next = 0;
};

std::mutex scanLock;
// Live scans: a handle that is not here (closed twice, never opened) is refused cleanly.
std::set<FindScan*> liveScans;

// One UTF-8 character's length from its first byte (invalid bytes count as one).
size_t characterLength(unsigned char c) {
  if (c >= 0xF0) return 4;
  if (c >= 0xE0) return 3;
  if (c >= 0xC0) return 2;
  return 1;
}

// Windows wildcard match: `*` any run of characters, `?` exactly one character, anything
// else equal without ASCII case.
bool wildcardMatch(std::string_view pattern, std::string_view name) {
  size_t p = 0, n = 0;
  size_t starP = std::string_view::npos, starN = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      starP = p++;
      starN = n;
      continue;
    }
    if (p < pattern.size() && pattern[p] == '?') {
      ++p;
      n += std::min(characterLength(name[n]), name.size() - n);
      continue;
    }
    if (p < pattern.size() && compat::asciiLower(pattern[p]) == compat::asciiLower(name[n])) {
      ++p;
      ++n;
      continue;
    }
    if (starP == std::string_view::npos) return false;
    p = starP + 1;  // let the last `*` take one more character
    starN += std::min(characterLength(name[starN]), name.size() - starN);
    n = starN;
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

FILETIME toFileTime(const timespec& time) {
  // 100-nanosecond steps since 1601-01-01.
  uint64_t ticks = (static_cast<uint64_t>(time.tv_sec) + 11644473600ull) * 10000000ull +
                   static_cast<uint64_t>(time.tv_nsec) / 100u;
  return FILETIME{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
}

void fillData(const std::string& sjisName, const struct stat& info, WIN32_FIND_DATAA& data) {
  std::memset(&data, 0, sizeof data);
  data.dwFileAttributes = S_ISDIR(info.st_mode) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL;
  data.ftCreationTime = toFileTime(info.st_ctim);
  data.ftLastAccessTime = toFileTime(info.st_atim);
  data.ftLastWriteTime = toFileTime(info.st_mtim);
  uint64_t size = S_ISDIR(info.st_mode) ? 0 : static_cast<uint64_t>(info.st_size);
  data.nFileSizeHigh = static_cast<DWORD>(size >> 32);
  data.nFileSizeLow = static_cast<DWORD>(size);
  std::memcpy(data.cFileName, sjisName.data(), sjisName.size());
}

std::string foldedCase(const std::string& name) {
  std::string folded = name;
  for (char& c : folded) c = static_cast<char>(compat::asciiLower(c));
  return folded;
}

}  // namespace

extern "C" HANDLE WINAPI FindFirstFileA(LPCSTR pattern, LPWIN32_FIND_DATAA data) {
  std::string utf8;
  if (pattern == nullptr || data == nullptr || !compat::sjisToUtf8(pattern, utf8)) return INVALID_HANDLE_VALUE;
  for (char& c : utf8) {
    if (c == '\\') c = '/';
  }
  size_t slash = utf8.rfind('/');
  std::string folderPart = slash == std::string::npos ? "" : utf8.substr(0, slash + 1);
  std::string namePattern = slash == std::string::npos ? utf8 : utf8.substr(slash + 1);
  if (namePattern.empty()) return INVALID_HANDLE_VALUE;
  // "*.*" means every name, with or without an extension.
  if (namePattern == "*.*") namePattern = "*";

  std::string folder = folderPart.empty() ? "." : compat::resolveUtf8Path(folderPart);
  if (folder.empty()) folder = "/";
  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr) return INVALID_HANDLE_VALUE;
  auto scan = std::make_unique<FindScan>();
  while (dirent* entry = readdir(dir)) {
    std::string name = entry->d_name;
    if (name == "." || name == ".." || !wildcardMatch(namePattern, name)) continue;
    std::string sjisName;
    // A name Shift-JIS cannot spell could never be opened by the game: leave it out.
    if (!compat::utf8ToSjis(name, sjisName) || sjisName.size() >= MAX_PATH) continue;
    struct stat info;
    std::string full = folder + (folder.back() == '/' ? "" : "/") + name;
    if (stat(full.c_str(), &info) != 0) continue;  // a dangling link
    FindEntry found;
    found.sjisName = sjisName;
    fillData(sjisName, info, found.data);
    scan->entries.push_back(std::move(found));
  }
  closedir(dir);
  if (scan->entries.empty()) return INVALID_HANDLE_VALUE;
  std::sort(scan->entries.begin(), scan->entries.end(), [](const FindEntry& a, const FindEntry& b) {
    std::string fa = foldedCase(a.sjisName), fb = foldedCase(b.sjisName);
    return fa != fb ? fa < fb : a.sjisName < b.sjisName;
  });

  *data = scan->entries[0].data;
  scan->next = 1;
  std::lock_guard<std::mutex> guard(scanLock);
  FindScan* handle = scan.release();
  liveScans.insert(handle);
  return handle;
}

extern "C" BOOL WINAPI FindNextFileA(HANDLE find, LPWIN32_FIND_DATAA data) {
  std::lock_guard<std::mutex> guard(scanLock);
  auto live = liveScans.find(static_cast<FindScan*>(find));
  if (live == liveScans.end() || data == nullptr) return FALSE;
  FindScan* scan = *live;
  if (scan->next >= scan->entries.size()) return FALSE;
  *data = scan->entries[scan->next++].data;
  return TRUE;
}

extern "C" BOOL WINAPI FindClose(HANDLE find) {
  std::lock_guard<std::mutex> guard(scanLock);
  auto live = liveScans.find(static_cast<FindScan*>(find));
  if (live == liveScans.end()) return FALSE;
  delete *live;
  liveScans.erase(live);
  return TRUE;
}
