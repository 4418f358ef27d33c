/*
 * The launcher's command line: options with one value each, repeatable --shot-at, and the
 * game folder as the one plain argument.
 */
#include "options.h"

#include <cstring>

namespace {

bool parseCount(const std::string& text, unsigned long long limit, unsigned long long& out) {
  if (text.empty() || text.size() > 12) return false;
  out = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    out = out * 10 + unsigned(c - '0');
  }
  return out <= limit;
}

}  // namespace

const char* usageText() {
  return "usage: orvane [play] [options] [GAME_DIR]\n"
         "Plays the game in GAME_DIR (default: the bundled game).\n"
         "  --headless          no window and no sound, on a virtual clock\n"
         "  --input F           the player's actions, one a line (replays)\n"
         "  --transcript F      write every observable event to F\n"
         "  --shots D           folder for the frames of 'shot' actions\n"
         "  --shot-at MS:NAME   also write the first frame at or after MS as NAME.png\n"
         "                      (repeatable)\n"
         "  --save-dir D        keep progress, settings and screenshots in D (default:\n"
         "                      GAME_DIR, or ~/.local/share/orvane/NAME when it is the\n"
         "                      installed game or cannot be written to)\n"
         "  --scenario FOLDER   run one scenario folder as the debug run\n"
         "  --max-time MS       close the window after MS of game time\n"
         "                      (headless default: one hour)\n"
         "  --log F             also write the debug log to F\n"
         "  --record F          write the player's actions to F as an input script\n"
         "  --watch             with --scenario: start the debug run again whenever a file\n"
         "                      of its scenario folder changes\n"
         "  --at LABEL          with --scenario: start the debug run at LABEL of start.scn\n"
         "                      (or at FILE:LABEL)\n"
         "  --help              show this text\n"
         "Keys while playing: F1 the settings screen (or hold the gamepad's Back), F7/F8\n"
         "music volume down/up, F9/F10 effect volume down/up, F12 screenshot into the save\n"
         "folder, F5 full screen.\n"
         "Exit status: 0 the game ran to its end, 1 the runtime or the game could not be\n"
         "loaded or bound, or there is no display for the window, 2 bad arguments.\n";
}

bool parseOptions(int argc, const char* const* argv, Options& out, std::string& error) {
  bool gameDirSeen = false;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    auto value = [&](std::string& into) {
      if (i + 1 >= argc || argv[i + 1][0] == '\0') {
        error = arg + " needs a value";
        return false;
      }
      into = argv[++i];
      return true;
    };
    if (arg == "--help" || arg == "-h") {
      out.help = true;
    } else if (arg == "--headless") {
      out.headless = true;
    } else if (arg == "--input") {
      if (!value(out.input)) return false;
    } else if (arg == "--transcript") {
      if (!value(out.transcript)) return false;
    } else if (arg == "--shots") {
      if (!value(out.shotsDir)) return false;
    } else if (arg == "--save-dir") {
      if (!value(out.saveDir)) return false;
    } else if (arg == "--scenario") {
      if (!value(out.scenario)) return false;
    } else if (arg == "--log") {
      if (!value(out.log)) return false;
    } else if (arg == "--record") {
      if (!value(out.record)) return false;
    } else if (arg == "--watch") {
      out.watch = true;
    } else if (arg == "--at") {
      if (!value(out.at)) return false;
    } else if (arg == "--max-time") {
      std::string text;
      unsigned long long ms = 0;
      if (!value(text)) return false;
      if (!parseCount(text, 0xFFFFFFFFull, ms)) {
        error = "--max-time needs a number of milliseconds, not \"" + text + "\"";
        return false;
      }
      out.maxTimeMs = (long long)ms;
    } else if (arg == "--shot-at") {
      std::string text;
      if (!value(text)) return false;
      size_t colon = text.find(':');
      unsigned long long ms = 0;
      std::string name = colon == std::string::npos ? "" : text.substr(colon + 1);
      if (colon == std::string::npos || !parseCount(text.substr(0, colon), 0xFFFFFFFFull, ms) ||
          name.empty() || name.find('/') != std::string::npos || name == "." || name == "..") {
        error = "--shot-at needs MS:NAME (a plain file name), not \"" + text + "\"";
        return false;
      }
      out.shotAtMs.push_back(unsigned(ms));
      out.shotAtNames.push_back(name);
    } else if (arg.size() > 1 && arg[0] == '-') {
      error = "unknown option " + arg;
      return false;
    } else {
      if (gameDirSeen) {
        error = "only one game folder can be given (" + out.gameDir + ", " + arg + ")";
        return false;
      }
      gameDirSeen = true;
      out.gameDir = arg;
    }
  }
  if ((out.watch || !out.at.empty()) && out.scenario.empty()) {
    error = std::string(out.watch ? "--watch" : "--at") + " needs --scenario";
    return false;
  }
  return true;
}
