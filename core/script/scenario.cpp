// Scenario files and the run loop: loading a file into lines, targets and jumps, stepping
// the lines and handing each to the dispatcher or the story text, the current-scenario
// stack of nested runs, and RunScenario, which plays one scenario to its end.
#include "script/scenario.h"

#include <windows.h>

#include <cstring>

#include "host/errors.h"
#include "host/host_api.h"
#include "script/syntax.h"
#include "support/sjis_literal.h"
#include "support/support.h"

char gScenarioFolder[kScenarioTextSize];

namespace {

ScenarioHooks gHooks;
Scenario* gCurrent = nullptr;

// Bytes of the character at `p`: 2 for a lead byte with its trail, else 1.
std::size_t charLength(const char* p) {
  return isLeadByte(static_cast<unsigned char>(p[0])) && p[1] != '\0' ? 2 : 1;
}

// Appends whole characters of `text` while they fit in 263 bytes; returns the new length.
std::size_t appendCut(char* out, std::size_t length, const char* text) {
  for (; *text != '\0'; text += charLength(text)) {
    std::size_t n = charLength(text);
    if (length + n > kScenarioTextSize - 1) break;
    std::memcpy(out + length, text, n);
    length += n;
  }
  out[length] = '\0';
  return length;
}

// Copies the `length` bytes at `from`, cut to whole characters within 263 bytes.
void copyPart(const char* from, std::size_t length, char (&out)[kScenarioTextSize]) {
  std::size_t kept = 0;
  while (kept < length) {
    std::size_t n = charLength(from + kept);
    if (kept + n > length || kept + n > kScenarioTextSize - 1) break;
    kept += n;
  }
  std::memcpy(out, from, kept);
  out[kept] = '\0';
}

// A label as the label index keys it: ASCII letters lowered, two-byte characters kept
// exactly (their trail bytes may be letters), so equal keys mean TextEqualsNoCase.
std::string FoldLabel(const char* label) {
  std::string key(label);
  for (std::size_t at = 0; at < key.size(); at += charLength(key.c_str() + at)) {
    char& c = key[at];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return key;
}

// The file handle of one load, closed however the load ends.
struct OpenFile {
  LbFile file;
  ~OpenFile() {
    if (file) gHost.lbDestroyFile(file);
  }
};

// Makes a scenario current for the length of its run and puts back the one it interrupted,
// with the error context of the interrupted line, so a jump or message that follows a
// nested run names the line that started it.
class CurrentRun {
 public:
  explicit CurrentRun(Scenario& scenario) : previous_(gCurrent), line_(gErrorLine) {
    std::memcpy(file_, gErrorFile, sizeof file_);
    gCurrent = &scenario;
  }
  ~CurrentRun() {
    gCurrent = previous_;
    std::memcpy(gErrorFile, file_, sizeof file_);
    gErrorLine = line_;
  }
  CurrentRun(const CurrentRun&) = delete;
  CurrentRun& operator=(const CurrentRun&) = delete;

 private:
  Scenario* previous_;
  char file_[kErrorFileSize];
  int line_;
};

void ClearLineState(Scenario& scenario) {
  scenario.exitRequested = false;
  scenario.returnRequested = false;
  scenario.jumpTarget[0] = '\0';
  scenario.pendingTarget[0] = '\0';
  scenario.courtFlags[1] = false;
}

void RunOneLine(const char* line, int mode) {
  switch (line[0]) {
    case '\0':  // an empty line or a comment
    case ':':
    case ';':
      return;
    case '@':
      if (!gHooks.dispatchCommand) Fatal("No command dispatcher is installed.");
      gHooks.dispatchCommand(line, mode);
      return;
    default:
      // Story text needs the message window, which this build does not have yet: refusing
      // the line says so, where skipping it would lose the story without a word.
      if (!gHooks.showMessage)
        ScriptError("Story text cannot be shown: this build has no message window yet.");
      gHooks.showMessage(line);
      return;
  }
}

}  // namespace

void InstallScenarioHooks(const ScenarioHooks& hooks) { gHooks = hooks; }

const ScenarioHooks& InstalledScenarioHooks() { return gHooks; }

Scenario* CurrentScenario() { return gCurrent; }

void SplitTarget(const char* target, char (&file)[kScenarioTextSize],
                 char (&label)[kScenarioTextSize]) {
  const char* lastColon = nullptr;
  const char* colonBefore = nullptr;
  for (const char* at = target; *at != '\0'; at += charLength(at)) {
    if (*at == ':') {
      colonBefore = lastColon;
      lastColon = at;
    }
  }
  if (!lastColon) {
    file[0] = '\0';
    CopyText(target, label, kScenarioTextSize);
    return;
  }
  const char* fileStart = colonBefore ? colonBefore + 1 : target;
  copyPart(fileStart, static_cast<std::size_t>(lastColon - fileStart), file);
  CopyText(lastColon + 1, label, kScenarioTextSize);
}

void ScenarioFilePath(const char* folder, const char* file, char (&out)[kScenarioTextSize]) {
  std::size_t length = appendCut(out, 0, folder);
  bool separator = false;
  for (std::size_t at = 0; at < length; at += charLength(out + at))
    separator = charLength(out + at) == 1 && (out[at] == '/' || out[at] == '\\');
  if (!separator) length = appendCut(out, length, "/");
  length = appendCut(out, length, file);
  appendCut(out, length, ".scn");
}

void LoadScenarioFile(Scenario& scenario, const char* file) {
  char path[kScenarioTextSize];
  ScenarioFilePath(gScenarioFolder, file, path);
  OpenFile open{gHost.lbCreateFile(path, 1)};
  if (!open.file) ScriptError("ファイル \"%s\" が開けません。"_sj, path);

  std::memcpy(scenario.path, path, sizeof path);
  scenario.lines.clear();
  scenario.labels.clear();
  while (const char* line = gHost.lbReadFileLine(open.file)) {
    const char* text = line;
    SkipBlanks(text);
    // A comment stays as an empty line, so every later line keeps its number.
    if (*text == ';') {
      scenario.lines.emplace_back();
      continue;
    }
    // The first of two equal labels is the one a jump finds.
    if (*text == ':') scenario.labels.emplace(FoldLabel(text + 1), scenario.lines.size());
    scenario.lines.emplace_back(line);
  }
  Rewind(scenario);
}

void Rewind(Scenario& scenario) {
  scenario.position = 0;
  scenario.lineNumber = 1;
}

void Advance(Scenario& scenario) {
  if (AtEnd(scenario)) return;
  ++scenario.position;
  ++scenario.lineNumber;
}

bool AtEnd(const Scenario& scenario) { return scenario.position >= scenario.lines.size(); }

const char* CurrentLine(const Scenario& scenario) {
  if (AtEnd(scenario)) return "";
  const char* line = scenario.lines[scenario.position].c_str();
  SkipBlanks(line);
  return line;
}

void Jump(Scenario& scenario, const char* target) {
  char file[kScenarioTextSize];
  char label[kScenarioTextSize];
  SplitTarget(target, file, label);
  if (file[0] != '\0') LoadScenarioFile(scenario, file);
  if (label[0] == '\0') return;

  // The label must fill its line: ":x " or ":x ;note" is not the label x. The position
  // stays on the label line, which does nothing when it runs.
  auto found = scenario.labels.find(FoldLabel(label));
  if (found == scenario.labels.end())
    ScriptError("ジャンプ先ラベル \"%s\" が見つかりません。"_sj, label);
  scenario.position = found->second;
  scenario.lineNumber = static_cast<int>(found->second) + 1;
}

void JumpWithDefaultFile(Scenario& scenario, const char* target, const char* defaultFile) {
  char file[kScenarioTextSize];
  char label[kScenarioTextSize];
  SplitTarget(target, file, label);
  if (file[0] != '\0') {
    Jump(scenario, target);
    return;
  }
  char full[kScenarioTextSize];
  std::size_t length = appendCut(full, 0, defaultFile);
  length = appendCut(full, length, ":");
  appendCut(full, length, label);
  Jump(scenario, full);
}

void RunLines(Scenario& scenario, int mode) {
  CurrentRun run(scenario);
  while (!AtEnd(scenario)) {
    const char* line = CurrentLine(scenario);
    SetErrorFile(scenario.path);
    gErrorLine = scenario.lineNumber;
    ClearLineState(scenario);

    RunOneLine(line, mode);

    if (scenario.exitRequested || scenario.returnRequested) return;
    // A choice made in court while the line ran overrides where the line itself jumps.
    if (scenario.pendingTarget[0] != '\0')
      std::memcpy(scenario.jumpTarget, scenario.pendingTarget, kScenarioTextSize);
    if (scenario.jumpTarget[0] != '\0') {
      char target[kScenarioTextSize];
      std::memcpy(target, scenario.jumpTarget, kScenarioTextSize);
      Jump(scenario, target);  // the label line is read next and does nothing
    } else {
      Advance(scenario);
    }
  }
}

void RunScenario(const char* folder, char* result, std::size_t resultSize, const char* target,
                 bool resume) {
  if (!gHooks.resetPresentation) Fatal("No screen reset is installed for scenario runs.");
  gHooks.resetPresentation();

  char resumeTarget[kScenarioTextSize] = {};
  if (resume) {
    if (!gHooks.progressFilePath) Fatal("No progress file is known to resume from.");
    char progress[kScenarioTextSize];
    gHooks.progressFilePath(progress);
    GetPrivateProfileStringA("save", "pt_scn", "", gScenarioFolder, kScenarioTextSize, progress);
    GetPrivateProfileStringA("save", "pt_target", "", resumeTarget, kScenarioTextSize, progress);
    target = resumeTarget;
  } else if (folder != gScenarioFolder) {
    CopyText(folder ? folder : "", gScenarioFolder, kScenarioTextSize);
  }
  if (!target) target = "";
  if (gHooks.loadHeldState) {
    char progress[kScenarioTextSize] = {};
    if (gHooks.progressFilePath) gHooks.progressFilePath(progress);
    gHooks.loadHeldState(resume, progress);
  }

  Scenario scenario;
  Jump(scenario, target);
  do {
    RunLines(scenario, kNormalScenario);
  } while (!scenario.exitRequested && !scenario.returnRequested && !AtEnd(scenario));

  if (result && resultSize > 0) CopyText(scenario.result, result, resultSize);
}
