// Path operations: joining and splitting Shift-JIS paths in 264-byte buffers, walked one
// character at a time so a trail byte is never taken for a separator, a dot or a colon.
// Depends on nothing but the standard library (the fuzz build compiles it alone).
#include "support/support.h"

#include <cstring>

namespace {

constexpr std::size_t kPathLimit = kPathSize - 1;  // bytes of text a buffer keeps

// Bytes of the character at `p`: 2 for a lead byte with its trail, else 1 (a lead byte
// right before the end stands alone, so a walk never steps over the terminator).
std::size_t charLength(const char* p) {
  return isLeadByte(static_cast<unsigned char>(p[0])) && p[1] != '\0' ? 2 : 1;
}

bool isSeparator(char c) { return c == '/' || c == '\\'; }

// Appends `text` to `out` (holding `length` bytes) as far as whole characters fit within
// the buffer's limit; returns the new length. Keeps `out` terminated.
std::size_t appendCut(char* out, std::size_t length, const char* text) {
  if (text != nullptr) {
    while (*text != '\0') {
      std::size_t n = charLength(text);
      if (length + n > kPathLimit) break;
      std::memcpy(out + length, text, n);
      length += n;
      text += n;
    }
  }
  out[length] = '\0';
  return length;
}

// True when the last whole character of `text` (of `length` bytes) is `/` or `\`.
bool endsInSeparator(const char* text, std::size_t length) {
  bool separator = false;
  for (std::size_t at = 0; at < length; at += charLength(text + at))
    separator = charLength(text + at) == 1 && isSeparator(text[at]);
  return separator;
}

bool hasText(const char* text) { return text != nullptr && *text != '\0'; }

// Splits `path` (no drive) into folder, name and extension.
void splitInto(const char* path, PathParts& parts) {
  PathBuffer copy;
  appendCut(copy, 0, path);

  std::size_t folderLength = 0;
  const char* component = copy;
  const char* at = copy;
  while (*at != '\0') {
    std::size_t n = charLength(at);
    if (n == 1 && isSeparator(*at)) {
      // Each component closes with a `/`; the copy is no longer than a buffer holds, so
      // the folder always fits whole.
      std::memcpy(parts.folder + folderLength, component, at - component);
      folderLength += at - component;
      parts.folder[folderLength++] = '/';
      component = at + 1;
    }
    at += n;
  }
  parts.folder[folderLength] = '\0';

  // The file name splits at its last dot; a dot is never a trail byte, but the walk keeps to
  // whole characters all the same.
  const char* dot = nullptr;
  for (const char* p = component; *p != '\0'; p += charLength(p))
    if (*p == '.') dot = p;
  std::size_t nameLength = dot != nullptr ? dot - component : std::strlen(component);
  std::memcpy(parts.name, component, nameLength);
  parts.name[nameLength] = '\0';
  appendCut(parts.extension, 0, dot != nullptr ? dot + 1 : "");
}

// Length of the drive at the start of `path`: 2 for "X:" where X is a single-byte
// character, else 0.
std::size_t driveLength(const char* path) {
  if (path == nullptr || path[0] == '\0' || path[1] != ':') return 0;
  return isLeadByte(static_cast<unsigned char>(path[0])) ? 0 : 2;
}

}  // namespace

void toSlashes(char* path) {
  if (path == nullptr) return;
  for (char* p = path; *p != '\0'; p += charLength(p))
    if (*p == '\\' && charLength(p) == 1) *p = '/';
}

void joinPath(PathBuffer& out, const char* folder, const char* name, const char* extension) {
  // Built apart so `out` may be one of the inputs.
  PathBuffer result;
  std::size_t length = appendCut(result, 0, folder);
  // A separator (or a dot) is only worth adding when a byte can still follow it.
  if (length > 0 && !endsInSeparator(result, length) && length + 2 <= kPathLimit)
    length = appendCut(result, length, "/");
  length = appendCut(result, length, name);
  if (hasText(extension) && length + 2 <= kPathLimit) {
    length = appendCut(result, length, ".");
    appendCut(result, length, extension);
  }
  toSlashes(result);
  std::memcpy(out, result, kPathSize);
}

void joinPathWithDrive(PathBuffer& out, const char* drive, const char* folder, const char* name,
                       const char* extension) {
  PathBuffer full;
  std::size_t length = appendCut(full, 0, drive);
  appendCut(full, length, folder);
  joinPath(out, full, name, extension);
}

PathParts splitPath(const char* path) {
  PathParts parts;
  splitInto(path != nullptr ? path : "", parts);
  return parts;
}

PathParts splitPathWithDrive(const char* path) {
  PathParts parts;
  std::size_t drive = driveLength(path);
  if (drive != 0) std::memcpy(parts.drive, path, drive);
  parts.drive[drive] = '\0';
  splitInto(path != nullptr ? path + drive : "", parts);
  return parts;
}
