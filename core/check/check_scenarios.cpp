// One scenario folder: its item definitions, its inquiry files, and every line of every
// scenario file read as the run loop reads it (commands against the command table, story
// text through the tag reader). What the lines name is then followed: targets to their file
// and label, item numbers to their definitions, pictures, sounds, music and motions to
// their files. Labels that no target reaches are reported as warnings.
#include <cstring>
#include <deque>
#include <set>

#include "check/check_internal.h"
#include "court/court_scene.h"
#include "court/inquiry.h"
#include "court/items.h"
#include "host/errors.h"
#include "host/host_api.h"
#include "present/resources.h"
#include "present/sound.h"
#include "script/commands.h"
#include "script/message.h"
#include "script/scenario.h"
#include "script/syntax.h"
#include "support/support.h"

namespace {

struct ScenarioFile {
  std::string name;  // without folder and extension, as targets name it
  Scenario scenario;
  int mode = kNormalScenario;
  std::set<std::size_t> reached;  // label lines some target lands on
};

// A target written somewhere, followed once every file of the folder is loaded.
struct TargetUse {
  std::string file;         // where it is written
  int line = 0;
  std::string target;
  std::string defaultFile;  // stands in when the target names no file ("" for none)
  bool anyFile = false;     // a bare label found in whichever file holds it (no-life)
  bool optional = false;    // reached when it exists, but no mistake when it does not
};

struct FolderCheck {
  CheckReport& report;
  std::string folder;
  std::deque<ScenarioFile> files;
  std::vector<TargetUse> targets;
  std::set<std::string> subScenarios;  // files inquiries run their reactions in
};

void SetErrorContext(const std::string& file, int line) {
  CopyText(file.c_str(), gErrorFile, kErrorFileSize);
  gErrorLine = line;
}

// Runs a unit with the error context at the place; what it reports becomes a finding there.
bool Try(FolderCheck& check, const std::string& file, int line,
         const std::function<void()>& unit) {
  SetErrorContext(file, line);
  std::string message;
  if (RunUnit(unit, message)) return true;
  AddFinding(check.report, file, line, false, message);
  return false;
}

std::string Quoted(const char* text) { return "\"" + std::string(text) + "\""; }

// Court pictures, item pictures and name plates are sprite definitions.
void CheckSprite(FolderCheck& check, const std::string& file, int line, const char* resolved,
                 const char* written) {
  PathBuffer definition;
  joinPath(definition, "", resolved, "spr");
  if (!gHost.lbIsFileExist(definition))
    AddFinding(check.report, file, line, false,
               "the picture " + Quoted(written) + " has no definition " + Quoted(definition));
}

void CheckCourtSprite(FolderCheck& check, const std::string& file, int line, const char* name) {
  if (name[0] == '\0') return;
  PathBuffer resolved;
  resolveSpriteName(resolved, name);
  CheckSprite(check, file, line, resolved, name);
}

void CheckSound(FolderCheck& check, const std::string& file, int line, const std::string& name) {
  if (!soundExists(name.c_str()))
    AddFinding(check.report, file, line, false, "the sound " + Quoted(name.c_str()) + " names no file");
}

void CheckItem(FolderCheck& check, const std::string& file, int line, int number) {
  Try(check, file, line, [number] { checkItem(number); });
}

void CheckMusic(FolderCheck& check, const std::string& file, int line, const char* name) {
  if (name[0] == '\0') return;
  for (int number = 0; number < bgmEntryCount(); ++number)
    if (TextEqualsNoCase(bgmEntry(number)->name, name)) return;
  // Unknown: the game's own refusal says it, once the music already selected is cleared.
  Try(check, file, line, [name] {
    playBgm("");
    playBgm(name);
  });
}

void AddTarget(FolderCheck& check, const std::string& file, int line, const char* target,
               const std::string& defaultFile, bool anyFile = false, bool optional = false) {
  if (target[0] == '\0') return;  // an empty target jumps nowhere
  check.targets.push_back(TargetUse{file, line, target, defaultFile, anyFile, optional});
}

// Where the last life goes when no no-life target was set.
constexpr const char* kDefaultNolifeTarget = "start:nolife";

bool Is(const CommandRow& row, const char* name) { return std::strcmp(row.name, name) == 0; }

// The exclamation a row shouts, whose voice is "<voice>_<shout>"; null for other rows.
const char* ExclamationOf(const CommandRow& row) {
  if (Is(row, "@courtShowKurae")) return "kurae";
  if (Is(row, "@courtShowMatta")) return "matta";
  if (Is(row, "@courtShowIgi")) return "igi";
  return nullptr;
}

// What a command line names, once the line itself has read cleanly.
void CheckCommandUses(FolderCheck& check, ScenarioFile& scenario, int line,
                      const CommandRow& row, const CommandArgs& args) {
  const std::string& file = scenario.scenario.path;
  const std::string& self = scenario.name;
  if (Is(row, "@goto")) {
    AddTarget(check, file, line, args.Text(0), self);
  } else if (Is(row, "@itemSelect")) {
    CheckItem(check, file, line, args.Integer(0));
    AddTarget(check, file, line, args.Text(1), self);
    AddTarget(check, file, line, args.Text(2), self);
    if (args.Flag(4) && args.Text(6)[0] != '\0')
      CheckSound(check, file, line, std::string("sys/voice/") + args.Text(6) + "_kurae");
  } else if (Is(row, "@courtSetNolifeScenario")) {
    AddTarget(check, file, line, args.Text(0), self, true);
  } else if (Is(row, "@courtReduceLife")) {
    AddTarget(check, file, line, kDefaultNolifeTarget, self, false, true);
  } else if (Is(row, "@itemShowKiroku")) {
    AddTarget(check, file, line, args.Text(2), self);
  } else if (Is(row, "@save")) {
    // A saved game resumes at the target from nothing loaded: it must name its file.
    AddTarget(check, file, line, args.Text(0), "");
  } else if (Is(row, "@bgmPlay")) {
    CheckMusic(check, file, line, args.Text(0));
  } else if (Is(row, "@sePlay")) {
    PathBuffer own;
    joinPath(own, gScenarioFolder, args.Text(0), nullptr);
    if (!soundExists(own)) CheckSound(check, file, line, std::string("sys/se/") + args.Text(0));
  } else if (Is(row, "@backSet")) {
    CheckCourtSprite(check, file, line, args.Text(0));
    const std::string colour = args.Text(1);
    if (!colour.empty()) Try(check, file, line, [&colour] {
      Colour ignored;
      parseColour(colour.c_str(), ignored);
    });
  } else if (Is(row, "@frontSet") || std::strncmp(row.name, "@charaShow", 10) == 0) {
    CheckCourtSprite(check, file, line, args.Text(0));
  } else if (Is(row, "@sprLoadMotion")) {
    PathBuffer motion;
    joinPath(motion, "", args.Text(0), "mot");
    if (!gHost.lbIsFileExist(motion)) Try(check, file, line, [&motion] { openFile(motion); });
  } else if (Is(row, "@textShowName")) {
    if (args.Text(0)[0] != '\0') {
      const std::string plate = std::string("sys/name_") + args.Text(0);
      CheckSprite(check, file, line, plate.c_str(), args.Text(0));
    }
  } else if (Is(row, "@itemShow") || Is(row, "@itemMessage") || Is(row, "@itemGetShow") ||
             Is(row, "@itemGetNoshow") || Is(row, "@itemLost")) {
    CheckItem(check, file, line, args.Integer(0));
  } else if (const char* shout = ExclamationOf(row)) {
    if (args.Integer(1) >= 0) CheckItem(check, file, line, args.Integer(1));
    if (args.Text(2)[0] != '\0')
      CheckSound(check, file, line, std::string("sys/voice/") + args.Text(2) + "_" + shout);
  } else if (Is(row, "@inquiryRun") || Is(row, "@testimonyRun")) {
    PathBuffer inquiry;
    joinPath(inquiry, gScenarioFolder, args.Text(0), "inq");
    if (!gHost.lbIsFileExist(inquiry)) Try(check, file, line, [&inquiry] { openFile(inquiry); });
    CheckMusic(check, file, line, args.Text(1));
  }
}

struct LinkContext {
  FolderCheck* check;
  ScenarioFile* scenario;
  int line;
};

void OnLink(const char* target, void* context) {
  auto* link = static_cast<LinkContext*>(context);
  AddTarget(*link->check, link->scenario->scenario.path, link->line, target,
            link->scenario->name);
}

void CheckLine(FolderCheck& check, ScenarioFile& scenario, std::size_t index) {
  const char* text = scenario.scenario.lines[index].c_str();
  SkipBlanks(text);
  const int line = static_cast<int>(index) + 1;
  if (*text == '\0' || *text == ':' || *text == ';') return;
  const std::string& file = scenario.scenario.path;
  if (*text != '@') {
    LinkContext context{&check, &scenario, line};
    Try(check, file, line, [&] { ReadMessageTags(text, OnLink, &context); });
    return;
  }
  CommandArgs args;
  const CommandRow* row = nullptr;
  if (Try(check, file, line, [&] { row = &ReadCommandLine(CommandTable(), text, scenario.mode, args); }))
    CheckCommandUses(check, scenario, line, *row, args);
}

ScenarioFile* FindFile(FolderCheck& check, const std::string& name) {
  for (ScenarioFile& file : check.files)
    if (TextEqualsNoCase(file.name.c_str(), name.c_str())) return &file;
  return nullptr;
}

void FollowTarget(FolderCheck& check, const TargetUse& use) {
  char file[kScenarioTextSize];
  char label[kScenarioTextSize];
  SplitTarget(use.target.c_str(), file, label);
  if (use.anyFile && file[0] == '\0') {
    // The no-life label is read in whichever file loses the last unit.
    std::string missing;
    bool found = false;
    for (ScenarioFile& candidate : check.files) {
      SetErrorContext(use.file, use.line);
      if (RunUnit([&] { Jump(candidate.scenario, label); }, missing)) {
        candidate.reached.insert(candidate.scenario.position);
        found = true;
      }
    }
    if (!found) AddFinding(check.report, use.file, use.line, false, missing);
    return;
  }
  const std::string name = file[0] != '\0' ? file : use.defaultFile;
  if (use.optional) {
    ScenarioFile* target = FindFile(check, name);
    std::string ignored;
    if (target && RunUnit([&] { Jump(target->scenario, label); }, ignored))
      target->reached.insert(target->scenario.position);
    return;
  }
  ScenarioFile* target = name.empty() ? nullptr : FindFile(check, name);
  Scenario elsewhere;  // a file outside the folder's list, or nothing loaded at all
  Scenario* scenario = target ? &target->scenario : &elsewhere;
  if (!target && !name.empty() &&
      !Try(check, use.file, use.line, [&] { LoadScenarioFile(elsewhere, name.c_str()); }))
    return;
  if (label[0] == '\0') return;
  if (Try(check, use.file, use.line, [&] { Jump(*scenario, label); }) && target)
    target->reached.insert(target->scenario.position);
}

// The line of the first label of the file equal to the one on line `index`; labels compare
// as jumps compare them, so only that first one is ever reached.
std::size_t FirstOfLabel(const Scenario& scenario, std::size_t index) {
  const char* label = scenario.lines[index].c_str();
  SkipBlanks(label);
  for (std::size_t i = 0; i < index; ++i) {
    const char* other = scenario.lines[i].c_str();
    SkipBlanks(other);
    if (*other == ':' && TextEqualsNoCase(other + 1, label + 1)) return i;
  }
  return index;
}

void WarnUnreachedLabels(FolderCheck& check, ScenarioFile& file) {
  for (std::size_t i = 0; i < file.scenario.lines.size(); ++i) {
    const char* text = file.scenario.lines[i].c_str();
    SkipBlanks(text);
    if (*text != ':') continue;
    const int line = static_cast<int>(i) + 1;
    const std::size_t first = FirstOfLabel(file.scenario, i);
    if (first != i) {
      AddFinding(check.report, file.scenario.path, line, true,
                 "the label " + Quoted(text) + " repeats line " + std::to_string(first + 1) +
                     ", which every jump finds");
    } else if (!file.reached.count(i)) {
      AddFinding(check.report, file.scenario.path, line, true,
                 "nothing jumps to the label " + Quoted(text));
    }
  }
}

void CheckItems(FolderCheck& check) {
  PathBuffer path;
  joinPath(path, gScenarioFolder, "item", "txt");
  const std::string list = path;
  CheckDefinitionFile(check.report, list, true, [] { loadItems(false, ""); });
  const std::vector<std::string>& lines = LinesRead(list);
  for (std::size_t number = 0; number < gItems.entries.size(); ++number) {
    const ItemEntry& entry = gItems.entries[number];
    if (entry.name[0] == '\0') continue;
    const int line = LineWithOption(lines, "no", std::to_string(number).c_str());
    for (const char* picture : {entry.image, entry.mag}) {
      if (picture[0] == '\0') continue;
      char resolved[kPathSize];
      resolveItemSpriteName(picture, resolved, sizeof resolved);
      CheckSprite(check, list, line, resolved, picture);
    }
  }
}

// An inquiry file: read as the game reads it, then what its statements name: the reactions'
// labels in the sub-scenario (whose lines then run as an inquiry scenario's), the witness's
// pictures and name plate, the evidence to present and the lawyer's voices.
void CheckInquiry(FolderCheck& check, const std::string& path) {
  const std::string name = BaseName(path);
  Inquiry inquiry;
  CheckDefinitionFile(check.report, path, true, [&] { inquiry = parseInquiry(name.c_str()); });
  const std::vector<std::string>& lines = LinesRead(path);
  const std::string sub = inquiry.subScenario;
  if (!sub.empty()) check.subScenarios.insert(sub);
  bool kurae = false;
  for (const InquiryStatement& statement : inquiry.statements) {
    kurae = kurae || (statement.flags & kStatementKurae) != 0;
    const std::pair<const char*, const char*> targets[] = {{"target", statement.pressTarget},
                                                           {"success", statement.successTarget},
                                                           {"miss", statement.missTarget},
                                                           {"target", statement.endTarget}};
    for (const auto& [option, target] : targets)
      if (target[0] != '\0')
        AddTarget(check, path, LineWithOption(lines, option, target), target, sub);
    if (statement.picture[0] != '\0')
      CheckCourtSprite(check, path, LineWithOption(lines, "file", statement.picture),
                       statement.picture);
    if (statement.item >= 0)
      CheckItem(check, path, LineWithOption(lines, "item", std::to_string(statement.item).c_str()),
                statement.item);
  }
  if (inquiry.witness[0] != '\0') {
    const std::string plate = std::string("sys/name_") + inquiry.witness;
    CheckSprite(check, path, LineWithOption(lines, "name", inquiry.witness), plate.c_str(),
                inquiry.witness);
  }
  if (inquiry.lawyer[0] != '\0') {
    // A press shouts "matta", a presentation "igi", or "kurae" where a statement asks for it.
    const int line = LineWithOption(lines, "lawyer", inquiry.lawyer);
    const std::string voice = std::string("sys/voice/") + inquiry.lawyer + "_";
    CheckSound(check, path, line, voice + "matta");
    CheckSound(check, path, line, voice + "igi");
    if (kurae) CheckSound(check, path, line, voice + "kurae");
  }
}

}  // namespace

void CheckScenarioFolder(CheckReport& report, const std::string& folder,
                         const std::vector<std::string>& files) {
  FolderCheck check{report, folder, {}, {}, {}};
  CopyText(folder.c_str(), gScenarioFolder, kScenarioTextSize);
  CheckItems(check);

  const std::string prefix = folder + "/";
  auto inFolder = [&](const std::string& path, const char* extension) {
    return path.compare(0, prefix.size(), prefix) == 0 && Extension(path) == extension &&
           path.find('/', prefix.size()) == std::string::npos;
  };
  for (const std::string& path : files)
    if (inFolder(path, "inq")) CheckInquiry(check, path);
  for (const std::string& path : files) {
    if (!inFolder(path, "scn")) continue;
    ScenarioFile& file = check.files.emplace_back();
    file.name = BaseName(path);
    if (!Try(check, path, 0, [&] { LoadScenarioFile(file.scenario, file.name.c_str()); }))
      check.files.pop_back();
  }
  for (ScenarioFile& file : check.files)
    for (const std::string& sub : check.subScenarios)
      if (TextEqualsNoCase(file.name.c_str(), sub.c_str())) file.mode = kInquiryScenario;

  for (ScenarioFile& file : check.files) {
    for (std::size_t i = 0; i < file.scenario.lines.size(); ++i) CheckLine(check, file, i);
    report.linesRead += static_cast<int>(file.scenario.lines.size());
  }
  for (const TargetUse& use : check.targets) FollowTarget(check, use);
  for (ScenarioFile& file : check.files) WarnUnreachedLabels(check, file);
  SetErrorContext("", 0);
}
