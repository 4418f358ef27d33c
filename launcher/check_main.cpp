/*
 * orvane-check: reads a whole game (a folder, or a data archive) with the engine's own
 * readers and prints every problem as file:line: message, then a summary. `orvane check`
 * runs it. Exit status: 0 nothing found (warnings aside), 1 problems found, 2 the check
 * could not run (bad arguments, a missing game, the runtime not loading).
 */
#include "paths.h"

#include "check/check.h"
#include "host/host_api.h"
#include "lb/runtime_setup.h"

#include <wincompat.h>

#include <fcntl.h>
#include <physfs.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int kClean = 0, kFound = 1, kCannotCheck = 2;
// The name the game mounts its archive under, beside its executable.
constexpr const char* kArchiveName = "derizi.dat";

const char* kUsage =
    "usage: orvane check [--scenario FOLDER]... [GAME_DIR | ARCHIVE]\n"
    "Reads every scenario, inquiry, item, sprite, motion and music file of the game (default:\n"
    "the bundled game) and reports every problem as file:line: message.\n"
    "  --scenario FOLDER   check only this scenario folder (e.g. scn/maid); repeatable\n"
    "Exit status: 0 nothing found, 1 problems found, 2 the check could not run.\n";

std::string toSjis(const std::string& utf8) {
  std::vector<char> out(utf8.size() * 2 + 1);
  return compatUtf8ToSjis(utf8.c_str(), out.data(), out.size()) < 0 ? "" : out.data();
}

std::string toUtf8(const std::string& sjis) {
  std::vector<char> out(sjis.size() * 3 + 1);
  return compatSjisToUtf8(sjis.c_str(), out.data(), out.size()) < 0 ? sjis : out.data();
}

bool isUtf8(const std::string& text) {
  std::vector<char> out(text.size() * 2 + 1);
  return compatUtf8ToSjis(text.c_str(), out.data(), out.size()) >= 0;
}

// Every file under `dir` of the mounted tree, as the engine names them (Shift-JIS). Archives
// made on Windows hold Shift-JIS names already; the rest are UTF-8.
void listFiles(const std::string& dir, std::vector<std::string>& out) {
  char** entries = PHYSFS_enumerateFiles(dir.c_str());
  if (!entries) return;
  for (char** entry = entries; *entry; ++entry) {
    std::string path = dir.empty() ? *entry : dir + "/" + *entry;
    PHYSFS_Stat st;
    if (!PHYSFS_stat(path.c_str(), &st)) continue;
    if (st.filetype == PHYSFS_FILETYPE_DIRECTORY) {
      listFiles(path, out);
    } else if (st.filetype == PHYSFS_FILETYPE_REGULAR) {
      out.push_back(isUtf8(path) ? toSjis(path) : path);
    }
  }
  PHYSFS_freeList(entries);
}

bool listGame(const std::string& root, std::vector<std::string>& out, std::string& error) {
  if (!PHYSFS_init(nullptr)) {
    error = "cannot read files (PhysicsFS)";
    return false;
  }
  bool ok = PHYSFS_mount(root.c_str(), nullptr, 1) != 0;
  if (ok) listFiles("", out);
  else error = root + " is neither a game folder nor a data archive";
  PHYSFS_deinit();
  return ok;
}

std::string location(const CheckFinding& f) {
  if (f.file.empty()) return "start-up";
  std::string at = toUtf8(f.file);
  return f.line > 0 ? at + ":" + std::to_string(f.line) : at;
}

struct QuietErrors {
  int saved = dup(2);
  QuietErrors() {
    int null = open("/dev/null", O_WRONLY);
    if (null >= 0) {
      dup2(null, 2);
      close(null);
    }
  }
  ~QuietErrors() {
    if (saved >= 0) {
      dup2(saved, 2);
      close(saved);
    }
  }
};

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> folders;
  std::string target;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::fputs(kUsage, stdout);
      return kClean;
    } else if (arg == "--scenario") {
      if (i + 1 >= argc) {
        std::fprintf(stderr, "orvane check: --scenario needs a folder\n");
        return kCannotCheck;
      }
      std::string folder = argv[++i];
      while (!folder.empty() && folder.back() == '/') folder.pop_back();
      folders.push_back(toSjis(folder));
    } else if (arg.size() > 1 && arg[0] == '-') {
      std::fprintf(stderr, "orvane check: unknown option %s\n%s", arg.c_str(), kUsage);
      return kCannotCheck;
    } else if (!target.empty()) {
      std::fprintf(stderr, "orvane check: only one game can be checked at a time\n");
      return kCannotCheck;
    } else {
      target = arg;
    }
  }
  const Layout layout = findLayout(ownFolder());
  if (target.empty()) target = layout.gameDir;
  std::error_code ec;
  const bool archive = fs::is_regular_file(target, ec);
  if (!archive && !fs::is_directory(target, ec)) {
    std::fprintf(stderr, "orvane check: no game folder or archive at %s\n", target.c_str());
    return kCannotCheck;
  }

  std::vector<std::string> files;
  std::string error;
  if (!listGame(target, files, error)) {
    std::fprintf(stderr, "orvane check: %s\n", error.c_str());
    return kCannotCheck;
  }
  // An archive is checked as the game reads it: alone in its folder, under the game's name.
  std::string gameDir = target;
  fs::path scratch;
  if (archive) {
    scratch = fs::temp_directory_path() / ("orvane_check_" + std::to_string(getpid()));
    fs::create_directories(scratch, ec);
    fs::copy_file(target, scratch / kArchiveName, fs::copy_options::overwrite_existing, ec);
    if (ec) {
      std::fprintf(stderr, "orvane check: cannot read %s\n", target.c_str());
      return kCannotCheck;
    }
    gameDir = scratch.string();
  }

  OrvaneRuntimeOptions options{};
  options.headless = 1;
  options.gameDir = gameDir.c_str();
  options.maxTimeMs = -1;
  char setupError[1024] = {};
  const std::string runtime = layout.libDir + "/libruntime.so";
  CheckReport report;
  int status = kCannotCheck;
  std::string problem;
  {
    QuietErrors quiet;  // the engine logs every report; the findings say each once
    if (orvaneRuntimeSetup(&options, setupError, sizeof setupError) != ORVANE_SETUP_OK) {
      problem = setupError;
    } else if (!lbLoadSystem(toSjis(runtime).c_str())) {
      problem = "cannot bind the runtime " + runtime;
    } else if (archive && !gHost.lbSetDataFile(kArchiveName)) {
      problem = target + " is not a data archive";
    } else {
      report = CheckGame(files, folders);
      status = report.errors > 0 ? kFound : kClean;
    }
    lbUnloadSystem();
    orvaneRuntimeShutdown();
  }
  if (!problem.empty()) std::fprintf(stderr, "orvane check: %s\n", problem.c_str());
  if (!scratch.empty()) fs::remove_all(scratch, ec);
  if (status == kCannotCheck) return status;

  for (const CheckFinding& f : report.findings)
    std::printf("%s: %s%s\n", location(f).c_str(), f.warning ? "warning: " : "",
                toUtf8(f.text).c_str());
  std::printf("%d error%s, %d warning%s in %d files (%d scenario lines)\n", report.errors,
              report.errors == 1 ? "" : "s", report.warnings, report.warnings == 1 ? "" : "s",
              report.filesRead, report.linesRead);
  return status;
}
