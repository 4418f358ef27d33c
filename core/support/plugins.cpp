// The scan of image plug-ins: every "*.spi" beside the host executable is loaded, checked for
// the image-filter version "00IN" and its three picture functions, and kept for the life of
// the game. The game never asks them to decode anything; they are loaded and released only.
#include "support/support.h"

#include <windows.h>

#include <cstring>
#include <string>

#include "script/syntax.h"

namespace {

struct ImagePlugin {
  HMODULE module = nullptr;
  FARPROC isSupported = nullptr;
  FARPROC getPictureInfo = nullptr;
  FARPROC getPicture = nullptr;
};

// Frees the module when the record's last owner lets go.
struct FreeImagePlugin {
  void operator()(ImagePlugin* plugin) const {
    if (plugin->module != nullptr) FreeLibrary(plugin->module);
    delete plugin;
  }
};

using ImagePluginHandle = SharedHandle<ImagePlugin, FreeImagePlugin>;

// Never destroyed: at process exit the list may outlive the module table that FreeLibrary
// needs, so plug-ins are released only by shutdownSupportLibrary.
OrderedList<ImagePluginHandle>& imagePlugins() {
  static auto* list = new OrderedList<ImagePluginHandle>;
  return *list;
}

using GetPluginInfoFunction = int (*)(int index, char* buffer, int size);

constexpr int kInfoSize = 256;

void logStatus(const char* path, const char* reason) {
  std::string line = "[_DSusieInit] \"";
  line += path;
  line += "\"";
  line += reason;
  line += "\n";
  logMessage(line.c_str());
}

// Loads one candidate and keeps it when it passes every check.
void tryPlugin(const char* path) {
  HMODULE module = LoadLibraryA(path);
  if (module == nullptr) return;  // not a library this process can load: skipped silently

  auto getPluginInfo = reinterpret_cast<GetPluginInfoFunction>(
      reinterpret_cast<void*>(GetProcAddress(module, "GetPluginInfo")));
  if (getPluginInfo == nullptr) {
    std::string line = "[_DSusieInit] can't get \"GetPluginInfo\" in \"";
    line += path;
    line += "\"\n";
    logMessage(line.c_str());
    FreeLibrary(module);
    return;
  }

  char version[kInfoSize] = {};
  int got = getPluginInfo(0, version, kInfoSize);
  version[kInfoSize - 1] = '\0';  // a plug-in that fills the buffer gets no further than it
  if (got == 0 || !TextEqualsNoCase(version, "00IN")) {
    logStatus(path, ": version error.");
    FreeLibrary(module);
    return;
  }

  auto* plugin = new ImagePlugin{module, GetProcAddress(module, "IsSupported"),
                                 GetProcAddress(module, "GetPictureInfo"),
                                 GetProcAddress(module, "GetPicture")};
  ImagePluginHandle handle(plugin);  // from here the handle frees the module
  if (plugin->isSupported == nullptr || plugin->getPictureInfo == nullptr ||
      plugin->getPicture == nullptr) {
    logStatus(path, ": can't find functions.");
    return;
  }
  imagePlugins().append(std::move(handle));
  logStatus(path, ": loaded.");
}

}  // namespace

void scanImagePlugins() {
  releaseImagePlugins();  // a second scan replaces the first rather than loading twice

  // Without the executable's path there is no folder to scan; the working folder is not a
  // stand-in, since loading a library runs its code.
  char executable[kPathSize] = {};
  if (GetModuleFileNameA(nullptr, executable, kPathSize) == 0) return;
  executable[kPathSize - 1] = '\0';
  PathParts here = splitPathWithDrive(executable);

  PathBuffer pattern;
  joinPathWithDrive(pattern, here.drive, here.folder, "*", "spi");

  WIN32_FIND_DATAA found;
  HANDLE find = FindFirstFileA(pattern, &found);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) continue;
    found.cFileName[MAX_PATH - 1] = '\0';
    PathBuffer path;
    joinPathWithDrive(path, here.drive, here.folder, found.cFileName, nullptr);
    tryPlugin(path);
  } while (FindNextFileA(find, &found));
  FindClose(find);
}

void releaseImagePlugins() { imagePlugins().clear(); }

std::size_t imagePluginCount() { return imagePlugins().count(); }
