/*
 * Where orvane finds its parts and keeps the player's files: the runtime, the game plug-in
 * and the bundled game beside the launcher (a build) or in the installed layout (bin, lib,
 * share), and the save folder, which for an installed or read-only game is in the user's
 * data folder.
 */
#ifndef ORVANE_LAUNCHER_PATHS_H
#define ORVANE_LAUNCHER_PATHS_H

#include <string>

struct Layout {
  std::string libDir;    // holds libruntime.so and libcore.so
  std::string gameDir;   // the bundled game
  bool installed = false;
};

// The folder of the running executable.
std::string ownFolder();
// The layout around the launcher in folder: the build's (everything in one folder) when the
// runtime is there, else the installed one.
Layout findLayout(const std::string& folder);
// The user's data folder for orvane ($XDG_DATA_HOME/orvane, or ~/.local/share/orvane); empty
// with the reason in error when neither variable gives an absolute path.
std::string userDataFolder(std::string& error);
// The save folder when none is given: the game folder, unless it is the installed bundled
// game or cannot be written to; then a folder named after the game in the user's data folder.
// Empty with the reason in error when that cannot be made.
std::string defaultSaveFolder(const std::string& gameDir, const Layout& layout,
                              std::string& error);

#endif  // ORVANE_LAUNCHER_PATHS_H
