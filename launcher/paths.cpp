/*
 * Finding the launcher's parts in a build or an installed layout, and the save folder.
 */
#include "paths.h"

#include <limits.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;

// ORVANE_LIB_FROM_BIN and ORVANE_GAME_FROM_BIN, the installed library folder and bundled
// game relative to the installed launcher's folder, come from the build (launcher/CMakeLists.txt).

std::string ownFolder() {
  char path[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  if (n <= 0) return ".";
  path[n] = '\0';
  std::string s(path);
  size_t slash = s.rfind('/');
  return slash == std::string::npos ? "." : s.substr(0, slash);
}

Layout findLayout(const std::string& folder) {
  std::error_code ec;
  if (fs::exists(folder + "/libruntime.so", ec)) return {folder, folder + "/game", false};
  return {folder + "/" ORVANE_LIB_FROM_BIN, folder + "/" ORVANE_GAME_FROM_BIN, true};
}

std::string userDataFolder(std::string& error) {
  // An XDG variable that is not an absolute path is to be ignored.
  const char* xdg = std::getenv("XDG_DATA_HOME");
  if (xdg && xdg[0] == '/') return std::string(xdg) + "/orvane";
  const char* home = std::getenv("HOME");
  if (home && home[0] == '/') return std::string(home) + "/.local/share/orvane";
  error = "neither XDG_DATA_HOME nor HOME names a folder for the saved games (or give --save-dir)";
  return {};
}

std::string defaultSaveFolder(const std::string& gameDir, const Layout& layout,
                              std::string& error) {
  std::error_code ec;
  fs::path game = fs::canonical(gameDir, ec);
  if (ec) game = gameDir;
  bool bundled = layout.installed && fs::equivalent(game, layout.gameDir, ec);
  if (!bundled && access(gameDir.c_str(), W_OK) == 0) return gameDir;
  std::string data = userDataFolder(error);
  if (data.empty()) return {};
  std::string name = game.filename().string();
  std::string save = data + "/" + (name.empty() ? "game" : name);
  fs::create_directories(save, ec);
  if (!fs::is_directory(save, ec)) {
    error = "cannot make the save folder " + save;
    return {};
  }
  return save;
}
