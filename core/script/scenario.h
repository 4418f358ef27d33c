// Scenario files and the run loop: a scenario folder of "*.scn" files under "scn/", loaded a
// file at a time, jumped through by targets (`file:label`, `file:`, `label`) and run line by
// line. Commands, story text and the screen reset are reached through hooks that start-up
// installs, since they belong to layers above this one.
#pragma once

#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>

constexpr std::size_t kScenarioTextSize = 264;   // paths, targets, file names and labels
constexpr std::size_t kScenarioResultSize = 256;  // the result text of `@exit rescode=`

// Which kind of scenario a line runs in; the dispatcher refuses some commands in the other.
constexpr int kNormalScenario = 0;
constexpr int kInquiryScenario = 1;

// One loaded file and its run state. One exists per running scenario; runs may nest.
struct Scenario {
  char path[kScenarioTextSize] = {};  // the loaded file, as error messages name it
  int lineNumber = 0;                 // 1 for the first line; 0 while nothing is loaded
  std::vector<std::string> lines;     // comment lines are kept as empty texts
  // The first line of each label, by its name with ASCII letters folded, so a jump costs one
  // look-up instead of a walk through the whole file.
  std::unordered_map<std::string, std::size_t> labels;
  std::size_t position = 0;           // index of the current line
  char result[kScenarioResultSize] = {};
  bool exitRequested = false;
  bool returnRequested = false;
  char jumpTarget[kScenarioTextSize] = {};     // acted on after the line
  char pendingTarget[kScenarioTextSize] = {};  // a choice made in court; wins over jumpTarget
  bool courtFlags[2] = {false, false};         // the second is cleared before every line
};

// The current scenario folder ("scn/menu1"), shared by the whole game; RunScenario sets it.
extern char gScenarioFolder[kScenarioTextSize];

// What the run loop hands upwards. Start-up installs them; a hook left empty means that part
// of the engine is not in this build, and reaching it ends the game with a message.
struct ScenarioHooks {
  void (*dispatchCommand)(const char* line, int mode) = nullptr;  // an `@` line
  void (*showMessage)(const char* line) = nullptr;                // a line of story text
  void (*resetPresentation)() = nullptr;                          // before every run
  void (*progressFilePath)(char (&out)[kScenarioTextSize]) = nullptr;  // for resuming
  // The game state a top-level run starts with (items, court positions, life): reset, or
  // read from the progress file when resuming. Empty: nothing is held across runs.
  void (*loadHeldState)(bool resume, const char* progressFile) = nullptr;
};
void InstallScenarioHooks(const ScenarioHooks& hooks);
const ScenarioHooks& InstalledScenarioHooks();

// The scenario whose line is running, or null outside every run.
Scenario* CurrentScenario();

// Splits a target into its file and label: the label follows the last `:`, the file lies
// between the last two (or before the last); a target without `:` is a label alone. Each
// part is cut to 263 bytes.
void SplitTarget(const char* target, char (&file)[kScenarioTextSize],
                 char (&label)[kScenarioTextSize]);
// Folder, `/` (unless the folder already ends in `/` or `\`), file name, ".scn"; cut to 263.
void ScenarioFilePath(const char* folder, const char* file, char (&out)[kScenarioTextSize]);

// Reads the file of the current folder into the scenario and rewinds; a missing file ends
// the game with its message.
void LoadScenarioFile(Scenario& scenario, const char* file);
// Back to the first line.
void Rewind(Scenario& scenario);
// On to the next line, unless already past the last.
void Advance(Scenario& scenario);
// True when nothing is loaded or the position is past the last line.
bool AtEnd(const Scenario& scenario);
// The current line with its leading blanks skipped ("" at the end).
const char* CurrentLine(const Scenario& scenario);
// Loads the target's file when it names one, then finds its label (the position stays on
// the label line); an unknown label ends the game with its message.
void Jump(Scenario& scenario, const char* target);
// Jump, with `defaultFile` standing in when the target names no file.
void JumpWithDefaultFile(Scenario& scenario, const char* target, const char* defaultFile);
// Runs lines until the file ends or a line asks to exit or return. `mode` is passed to the
// dispatcher with every `@` line. The scenario is current while it runs.
void RunLines(Scenario& scenario, int mode);
// Plays one scenario of `folder` from `target` to its end and copies its result (cut to
// `resultSize`) into `result` when there is one. With `resume`, folder and target come
// from the progress file instead.
void RunScenario(const char* folder, char* result, std::size_t resultSize, const char* target,
                 bool resume);
