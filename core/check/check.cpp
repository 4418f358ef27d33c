// The check of a whole game: the engine is started as the game starts it (windowless), the
// definition files every scenario shares are read, then each scenario folder in turn; the
// findings come back sorted by file and line.
#include "check/check.h"

#include <algorithm>
#include <set>

#include "check/check_internal.h"
#include "game/system.h"
#include "present/sound.h"
#include "present/transitions.h"
#include "present/text_layers.h"

namespace {

// The folders under "scn/" that hold at least one scenario file.
std::vector<std::string> ScenarioFolders(const std::vector<std::string>& files) {
  std::set<std::string> folders;
  for (const std::string& path : files) {
    if (path.compare(0, 4, "scn/") != 0 || Extension(path) != "scn") continue;
    std::size_t slash = path.find('/', 4);
    if (slash != std::string::npos && path.find('/', slash + 1) == std::string::npos)
      folders.insert(path.substr(0, slash));
  }
  return {folders.begin(), folders.end()};
}

// The files whose definitions are read: all of them, or with chosen folders, those outside
// "scn/" and those inside a chosen folder.
std::vector<std::string> DefinitionFiles(const std::vector<std::string>& files,
                                         const std::vector<std::string>& folders) {
  if (folders.empty()) return files;
  std::vector<std::string> chosen;
  for (const std::string& path : files) {
    bool inside = path.compare(0, 4, "scn/") != 0;
    for (const std::string& folder : folders)
      inside = inside || path.compare(0, folder.size() + 1, folder + "/") == 0;
    if (inside) chosen.push_back(path);
  }
  return chosen;
}

}  // namespace

CheckReport CheckGame(const std::vector<std::string>& files,
                      const std::vector<std::string>& folders) {
  CheckReport report;
  CaptureScope capture;
  std::string message;
  // Start-up loads the cursors and registers the wipes with their masks: a missing one is
  // the game's first message, before any scenario runs.
  if (!RunUnit([] { StartSystem(800, 600, false); }, message)) {
    AddFinding(report, "", 0, false, message);
    return report;
  }
  if (!RunUnit(registerStandardWipes, message)) AddFinding(report, "", 0, false, message);
  RunUnit([] { createTextLayer("sub"); }, message);

  CheckMusicList(report);
  const std::vector<std::string> definitions = DefinitionFiles(files, folders);
  CheckSpriteDefinitions(report, definitions);
  CheckMotions(report, definitions);
  for (const std::string& folder : folders.empty() ? ScenarioFolders(files) : folders)
    CheckScenarioFolder(report, folder, files);

  RunUnit([] {
    releaseSoundEffects();
    releaseBgm();
    ShutdownSystem();
  }, message);
  report.filesRead = FilesOpenedTotal();
  std::stable_sort(report.findings.begin(), report.findings.end(),
                   [](const CheckFinding& a, const CheckFinding& b) {
                     return a.file != b.file ? a.file < b.file : a.line < b.line;
                   });
  return report;
}
