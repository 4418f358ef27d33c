/*
 * WritePrivateProfileStringA: replaces, adds or deletes one key or one section and writes
 * the file whole through a temporary file, leaving every other line as it was.
 */
#include "compat_internal.h"
#include "profile_file.h"
#include "windows.h"

#include <cstring>
#include <mutex>

namespace {

using compat::ProfileFile;
using compat::ProfileLine;
using compat::ProfileLineKind;

// Reads, changes and replaces a file as one step, so two writes in this process never
// lose each other's change.
std::mutex writeLock;

bool hasLineBreak(const char* text) { return text != nullptr && std::strpbrk(text, "\r\n") != nullptr; }

// A name the file could not give back as written: it would read as something else.
bool unsafeName(std::string_view name, bool isSection) {
  if (name.empty() || name.front() == ' ' || name.front() == '\t' || name.back() == ' ' || name.back() == '\t') {
    return true;
  }
  if (!isSection && (name.front() == ';' || name.front() == '[')) return true;
  for (size_t i = 0; i < name.size(); ++i) {
    unsigned char c = name[i];
    if (compat::isLeadByte(c)) {
      ++i;
      continue;
    }
    if (isSection ? c == ']' : c == '=') return true;
  }
  return false;
}

// A line that now has another after it gets a whole line end: the file's own, or a line
// feed after the carriage return the file ended with.
void completeLineEnd(const compat::ProfileFile& file, ProfileLine& line) {
  if (line.end.empty()) line.end = file.newline;
  else if (line.end == "\r") line.end = "\r\n";
}

ProfileLine makeLine(std::string text, const std::string& end) {
  ProfileLine line;
  line.text = std::move(text);
  line.end = end;
  compat::classifyProfileLine(line);
  return line;
}

bool sectionMatches(const ProfileFile& file, const ProfileLine& line, const char* section) {
  return line.section >= 0 && compat::sjisEqualsNoCase(file.lines[line.section].name, section);
}

// Applies the change to the lines; returns false when nothing had to change.
bool applyChange(ProfileFile& file, const char* section, const char* key, const char* value) {
  auto& lines = file.lines;
  if (key == nullptr) {  // delete the section: its header and every line up to the next one
    size_t before = lines.size();
    std::erase_if(lines, [&](const ProfileLine& line) { return sectionMatches(file, line, section); });
    return lines.size() != before;
  }
  auto isKey = [&](const ProfileLine& line) {
    return line.kind == ProfileLineKind::Key && sectionMatches(file, line, section) &&
           compat::sjisEqualsNoCase(line.name, key);
  };
  if (value == nullptr) {  // delete the key, wherever the section repeats it
    size_t before = lines.size();
    std::erase_if(lines, isKey);
    return lines.size() != before;
  }

  for (ProfileLine& line : lines) {
    if (isKey(line)) {
      // The key keeps the spelling the file already has.
      line = makeLine(line.name + "=" + value, line.end);
      return true;
    }
  }
  // A new key goes after the last key of the section (or its header), ahead of any blank
  // lines and comments that lead into the next section.
  size_t insertAfter = lines.size();
  for (size_t i = 0; i < lines.size(); ++i) {
    if (!sectionMatches(file, lines[i], section)) continue;
    if (insertAfter != lines.size() && lines[i].section != lines[insertAfter].section) break;
    if (lines[i].kind != ProfileLineKind::Other) insertAfter = i;
  }
  std::string keyLine = std::string(key) + "=" + value;
  if (insertAfter == lines.size()) {
    if (!lines.empty()) completeLineEnd(file, lines.back());
    lines.push_back(makeLine("[" + std::string(section) + "]", file.newline));
    lines.push_back(makeLine(keyLine, file.newline));
  } else {
    completeLineEnd(file, lines[insertAfter]);
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insertAfter) + 1, makeLine(keyLine, file.newline));
  }
  return true;
}

}  // namespace

extern "C" BOOL WINAPI WritePrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR path) {
  if (section == nullptr) {
    // All null is the Windows request to flush cached profiles; nothing is cached here.
    return key == nullptr && value == nullptr ? TRUE : FALSE;
  }
  // A line break in any part would write extra lines that read back as other keys.
  if (hasLineBreak(section) || hasLineBreak(key) || hasLineBreak(value)) return FALSE;
  if (unsafeName(section, true) || (key != nullptr && unsafeName(key, false))) return FALSE;

  std::string diskPath;
  if (!compat::resolveSjisPath(path, diskPath) || diskPath.empty()) return FALSE;

  std::lock_guard<std::mutex> guard(writeLock);
  ProfileFile file;
  bool missing = false;
  if (!compat::loadProfile(diskPath, file, missing)) {
    if (!missing) return FALSE;  // unreadable: never replace what could not be read
    file = ProfileFile{};
  }
  if (!applyChange(file, section, key, value)) return TRUE;  // nothing to delete
  compat::renumberSections(file);
  return compat::storeProfile(diskPath, compat::serializeProfile(file)) ? TRUE : FALSE;
}
