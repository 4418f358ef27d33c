/*
 * Dynamic libraries the Windows way (LoadLibraryA, GetProcAddress, FreeLibrary over dlopen)
 * and the module path GetModuleFileNameA reports, which the launcher points into the game's
 * save folder so the progress and debug files live with the game.
 */
#include "compat_internal.h"
#include "wincompat.h"
#include "windows.h"

#include <climits>
#include <cstring>
#include <dlfcn.h>
#include <link.h>
#include <map>
#include <mutex>
#include <optional>
#include <unistd.h>

namespace {

std::mutex moduleLock;
// Every handle LoadLibraryA gave out, with its load count: a handle that is not here is
// refused instead of being handed to dlsym or dlclose, which would crash on it.
std::map<void*, int> loadedModules;
std::string lastError;
std::optional<std::string> moduleFileName;

void setError(std::string text) { lastError = std::move(text); }

// The Windows truncation: at most size - 1 bytes and a terminating zero; a double-byte
// character that does not fit whole is left out, so no reader walks past the zero.
DWORD copyTruncated(const std::string& text, LPSTR buffer, DWORD size) {
  if (buffer == nullptr || size == 0) return 0;
  size_t length = compat::sjisCutLength(text, size - 1);
  std::memcpy(buffer, text.data(), length);
  buffer[length] = '\0';
  return static_cast<DWORD>(length);
}

bool executablePath(std::string& sjis) {
  char path[PATH_MAX];
  ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
  if (length <= 0) return false;
  return compat::utf8ToSjis(std::string_view(path, static_cast<size_t>(length)), sjis);
}

}  // namespace

extern "C" HMODULE WINAPI LoadLibraryA(LPCSTR path) {
  std::string utf8;
  if (path == nullptr || !compat::sjisToUtf8(path, utf8) || utf8.empty()) {
    std::lock_guard<std::mutex> guard(moduleLock);
    setError(path == nullptr ? "no library path given" : "library path is not valid Shift-JIS");
    return nullptr;
  }
  // A bare name is searched for by the loader; a path is found on disk without case.
  bool hasFolder = utf8.find_first_of("/\\") != std::string::npos;
  std::string diskPath = hasFolder ? compat::resolveUtf8Path(utf8) : utf8;
  std::lock_guard<std::mutex> guard(moduleLock);
  void* handle = dlopen(diskPath.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) {
    const char* why = dlerror();
    setError(why != nullptr ? why : ("cannot load " + diskPath));
    return nullptr;
  }
  ++loadedModules[handle];
  return handle;
}

extern "C" FARPROC WINAPI GetProcAddress(HMODULE module, LPCSTR name) {
  std::lock_guard<std::mutex> guard(moduleLock);
  if (module == nullptr || loadedModules.count(module) == 0) {
    setError("not a loaded library");
    return nullptr;
  }
  // Windows takes small values as ordinals; no library of ours exports by ordinal.
  if (reinterpret_cast<uintptr_t>(name) < 0x10000) {
    setError("functions are looked up by name only");
    return nullptr;
  }
  dlerror();
  void* symbol = dlsym(module, name);
  if (symbol == nullptr) {
    setError(std::string("no function ") + name);
    return nullptr;
  }
  return reinterpret_cast<FARPROC>(symbol);
}

extern "C" BOOL WINAPI FreeLibrary(HMODULE module) {
  std::lock_guard<std::mutex> guard(moduleLock);
  auto found = loadedModules.find(module);
  if (module == nullptr || found == loadedModules.end()) {
    setError("not a loaded library");
    return FALSE;
  }
  if (--found->second == 0) loadedModules.erase(found);
  if (dlclose(module) != 0) {
    const char* why = dlerror();
    setError(why != nullptr ? why : "cannot unload library");
    return FALSE;
  }
  return TRUE;
}

extern "C" const char* compatLastLoadError(void) {
  thread_local std::string copy;
  std::lock_guard<std::mutex> guard(moduleLock);
  copy = lastError;
  return copy.c_str();
}

extern "C" void compatSetModuleFileName(const char* sjisPath) {
  std::lock_guard<std::mutex> guard(moduleLock);
  if (sjisPath == nullptr) {
    moduleFileName.reset();
  } else {
    moduleFileName = sjisPath;
  }
}

extern "C" DWORD WINAPI GetModuleFileNameA(HMODULE module, LPSTR buffer, DWORD size) {
  std::string path;
  {
    std::lock_guard<std::mutex> guard(moduleLock);
    if (module == nullptr) {
      if (moduleFileName) {
        path = *moduleFileName;
      } else if (!executablePath(path)) {
        return 0;
      }
    } else {
      if (loadedModules.count(module) == 0) return 0;
      link_map* map = nullptr;
      if (dlinfo(module, RTLD_DI_LINKMAP, &map) != 0 || map == nullptr || map->l_name == nullptr ||
          map->l_name[0] == '\0') {
        return 0;
      }
      if (!compat::utf8ToSjis(map->l_name, path)) return 0;
    }
  }
  return copyTruncated(path, buffer, size);
}
