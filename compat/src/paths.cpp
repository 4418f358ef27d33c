/*
 * Game paths to on-disk paths: Windows finds names without ASCII case and accepts `\` as a
 * folder separator, so each component is looked up in its folder the way Windows would.
 */
#include "compat_internal.h"
#include "wincompat.h"

#include <cstring>
#include <dirent.h>
#include <sys/stat.h>
#include <vector>

namespace compat {
namespace {

bool equalsNoCaseUtf8(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (asciiLower(a[i]) != asciiLower(b[i])) return false;
  }
  return true;
}

// The name in folder that equals component without ASCII case; the smallest such name when
// several differ only in case, so the choice does not depend on directory order.
bool findNoCase(const std::string& folder, std::string_view component, std::string& found) {
  DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
  if (dir == nullptr) return false;
  bool any = false;
  while (dirent* entry = readdir(dir)) {
    std::string_view name = entry->d_name;
    if (!equalsNoCaseUtf8(name, component)) continue;
    if (!any || name < found) found = name;
    any = true;
  }
  closedir(dir);
  return any;
}

}  // namespace

std::string resolveUtf8Path(std::string_view utf8Path) {
  std::string path(utf8Path);
  for (char& c : path) {
    if (c == '\\') c = '/';
  }
  std::vector<std::string_view> components;
  std::string_view rest = path;
  while (!rest.empty()) {
    size_t slash = rest.find('/');
    std::string_view part = rest.substr(0, slash);
    if (!part.empty()) components.push_back(part);
    if (slash == std::string_view::npos) break;
    rest.remove_prefix(slash + 1);
  }

  const bool absolute = !path.empty() && path[0] == '/';
  const bool keepTrailingSlash = !path.empty() && path.back() == '/';
  // A path that is on disk as written needs no folder looked at: one system call instead of
  // one for each folder on the way (a profile is read a dozen times on a save).
  std::string asWritten = absolute ? "/" : "";
  for (std::string_view part : components) {
    asWritten += part;
    asWritten += '/';
  }
  if (!components.empty() && !keepTrailingSlash) asWritten.pop_back();
  struct stat info;
  if (!components.empty() && lstat(asWritten.c_str(), &info) == 0) return asWritten;

  std::string result = absolute ? "/" : "";
  bool existing = true;  // once a component is missing, nothing below it can be on disk
  for (std::string_view part : components) {
    std::string candidate = result + std::string(part);
    std::string name(part);
    if (existing && part != "." && part != ".." && lstat(candidate.c_str(), &info) != 0) {
      std::string found;
      if (findNoCase(result, part, found)) {
        name = found;
      } else {
        existing = false;
      }
    }
    result += name;
    result += '/';
  }
  if (!components.empty() && !keepTrailingSlash) result.pop_back();
  return result;
}

bool resolveSjisPath(const char* sjisPath, std::string& diskPath) {
  std::string utf8;
  if (sjisPath == nullptr || !sjisToUtf8(sjisPath, utf8)) return false;
  diskPath = resolveUtf8Path(utf8);
  return true;
}

}  // namespace compat

extern "C" int compatResolvePath(const char* utf8Path, char* out, size_t size) {
  if (utf8Path == nullptr || out == nullptr || size == 0) return -1;
  std::string resolved = compat::resolveUtf8Path(utf8Path);
  if (resolved.size() + 1 > size) {
    out[0] = '\0';
    return -1;
  }
  std::memcpy(out, resolved.c_str(), resolved.size() + 1);
  return static_cast<int>(resolved.size());
}
