/*
 * Profile reads with Windows semantics (GetPrivateProfileStringA, GetPrivateProfileIntA),
 * and the launcher's overrides, which make a key read as if the file held another value.
 */
#include "compat_internal.h"
#include "profile_file.h"
#include "wincompat.h"
#include "windows.h"

#include <cstring>
#include <mutex>
#include <vector>

namespace {

struct ProfileOverride {
  std::string fileName, section, key, value;
};

std::mutex overrideLock;
std::vector<ProfileOverride> overrides;

// The file name of a Shift-JIS path: what follows its last `/` or `\` that is a character
// of its own.
std::string_view baseName(std::string_view path) {
  size_t start = 0;
  for (size_t i = 0; i < path.size(); ++i) {
    unsigned char c = path[i];
    if (c == '/' || c == '\\') start = i + 1;
    if (compat::isLeadByte(c)) ++i;
  }
  return path.substr(std::min(start, path.size()));
}

std::vector<ProfileOverride> overridesFor(const char* path) {
  std::vector<ProfileOverride> found;
  if (path == nullptr) return found;
  std::string_view name = baseName(path);
  std::lock_guard<std::mutex> guard(overrideLock);
  for (const ProfileOverride& entry : overrides) {
    if (compat::sjisEqualsNoCase(entry.fileName, name)) found.push_back(entry);
  }
  return found;
}

// Copies a value the Windows way: at most size - 1 bytes, never half a double-byte
// character, always terminated. Returns the count copied.
DWORD copyValue(std::string_view value, LPSTR buffer, DWORD size) {
  if (buffer == nullptr || size == 0) return 0;
  size_t length = compat::sjisCutLength(value, size - 1);
  std::memcpy(buffer, value.data(), length);
  buffer[length] = '\0';
  return static_cast<DWORD>(length);
}

// Copies a list of names, each ending in a zero byte, with one more zero after the last.
// When it does not fit, the list is cut and still ends in two zeros, and the result is
// size - 2, as Windows reports it.
DWORD copyList(const std::vector<std::string>& names, LPSTR buffer, DWORD size) {
  if (buffer == nullptr || size == 0) return 0;
  std::string list;
  for (const std::string& name : names) {
    list += name;
    list += '\0';
  }
  if (list.size() + 1 <= size) {
    std::memcpy(buffer, list.data(), list.size());
    buffer[list.size()] = '\0';
    return static_cast<DWORD>(list.size());
  }
  if (size < 2) {
    buffer[0] = '\0';
    return 0;
  }
  size_t length = compat::sjisCutLength(list, size - 2);
  std::memcpy(buffer, list.data(), length);
  std::memset(buffer + length, 0, size - length);
  return size - 2;
}

void addUnique(std::vector<std::string>& names, const std::string& name) {
  for (const std::string& existing : names) {
    if (compat::sjisEqualsNoCase(existing, name)) return;
  }
  names.push_back(name);
}

std::string_view trimTrailingBlanks(std::string_view text) {
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

}  // namespace

extern "C" void compatOverrideProfileString(const char* fileName, const char* section, const char* key,
                                            const char* value) {
  if (fileName == nullptr || section == nullptr || key == nullptr) return;
  std::lock_guard<std::mutex> guard(overrideLock);
  for (auto entry = overrides.begin(); entry != overrides.end(); ++entry) {
    if (compat::sjisEqualsNoCase(entry->fileName, fileName) && compat::sjisEqualsNoCase(entry->section, section) &&
        compat::sjisEqualsNoCase(entry->key, key)) {
      overrides.erase(entry);
      break;
    }
  }
  if (value != nullptr) overrides.push_back({fileName, section, key, value});
}

extern "C" DWORD WINAPI GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR fallback, LPSTR buffer,
                                                 DWORD size, LPCSTR path) {
  if (buffer == nullptr || size == 0) return 0;
  std::vector<ProfileOverride> extra = overridesFor(path);
  std::string diskPath;
  std::shared_ptr<const compat::ProfileFile> read;
  if (compat::resolveSjisPath(path, diskPath)) read = compat::readProfile(diskPath);
  static const compat::ProfileFile kEmpty;
  const compat::ProfileFile& file = read ? *read : kEmpty;

  if (section == nullptr) {
    std::vector<std::string> names;
    for (const compat::ProfileLine& line : file.lines) {
      if (line.kind == compat::ProfileLineKind::Section) addUnique(names, line.name);
    }
    for (const ProfileOverride& entry : extra) addUnique(names, entry.section);
    return copyList(names, buffer, size);
  }

  auto inSection = [&](const compat::ProfileLine& line) {
    return line.kind == compat::ProfileLineKind::Key && line.section >= 0 &&
           compat::sjisEqualsNoCase(file.lines[line.section].name, section);
  };

  if (key == nullptr) {
    std::vector<std::string> names;
    for (const compat::ProfileLine& line : file.lines) {
      if (inSection(line)) addUnique(names, line.name);
    }
    for (const ProfileOverride& entry : extra) {
      if (compat::sjisEqualsNoCase(entry.section, section)) addUnique(names, entry.key);
    }
    return copyList(names, buffer, size);
  }

  for (const ProfileOverride& entry : extra) {
    if (compat::sjisEqualsNoCase(entry.section, section) && compat::sjisEqualsNoCase(entry.key, key)) {
      return copyValue(entry.value, buffer, size);
    }
  }
  for (const compat::ProfileLine& line : file.lines) {
    if (inSection(line) && compat::sjisEqualsNoCase(line.name, key)) return copyValue(line.value, buffer, size);
  }
  // Windows drops trailing blanks of the default.
  return copyValue(trimTrailingBlanks(fallback != nullptr ? fallback : ""), buffer, size);
}

extern "C" UINT WINAPI GetPrivateProfileIntA(LPCSTR section, LPCSTR key, INT fallback, LPCSTR path) {
  if (section == nullptr || key == nullptr) return static_cast<UINT>(fallback);
  char text[64];
  DWORD length = GetPrivateProfileStringA(section, key, "", text, sizeof text, path);
  if (length == 0) return static_cast<UINT>(fallback);
  const char* p = text;
  while (*p == ' ' || *p == '\t') ++p;
  bool negative = *p == '-';
  if (*p == '-' || *p == '+') ++p;
  // Digits accumulate with 32-bit wrap-around, as the Windows conversion does; whatever
  // follows the digits is ignored, and a value with no digits reads as 0.
  uint32_t number = 0;
  while (*p >= '0' && *p <= '9') number = number * 10u + static_cast<uint32_t>(*p++ - '0');
  return negative ? 0u - number : number;
}
