/*
 * The launcher's command line: parseOptions turns the arguments into Options or says what is
 * wrong with them; usageText is what --help prints.
 */
#ifndef ORVANE_LAUNCHER_OPTIONS_H
#define ORVANE_LAUNCHER_OPTIONS_H

#include <string>
#include <vector>

struct Options {
  bool help = false;
  bool headless = false;
  std::string input, transcript, shotsDir, saveDir, scenario, log, gameDir;
  std::string record;  // write the player's actions here, in the input-script format
  bool watch = false;  // restart the debug run when a file of its scenario folder changes
  std::string at;      // the debug run starts here ("file:label", or a label of start)
  std::vector<unsigned> shotAtMs;
  std::vector<std::string> shotAtNames;
  long long maxTimeMs = -1;  // the runtime's default
};

// Parses argv[1..]; false with the reason in error when an argument is bad.
bool parseOptions(int argc, const char* const* argv, Options& out, std::string& error);
const char* usageText();

#endif  // ORVANE_LAUNCHER_OPTIONS_H
