// The vocabulary of the scenario language: one row per command, in the order names are
// compared, and the flow commands, which act on the current scenario directly. A command
// whose operation the engine does not have yet has no row, so it is reported as
// unrecognised instead of being accepted and ignored.
#include <array>

#include "game/progress.h"
#include "host/errors.h"
#include "present/frame.h"
#include "present/sound.h"
#include "script/commands.h"
#include "script/message.h"
#include "script/scenario.h"
#include "script/syntax.h"

namespace {

// Flow commands only set fields; the run loop acts on them once the line is done.
Scenario& Current() {
  Scenario* scenario = CurrentScenario();
  if (!scenario) Fatal("A flow command ran outside every scenario.");
  return *scenario;
}

void RunGoto(const CommandArgs& args) {
  CopyText(args.Text(0), Current().jumpTarget, kScenarioTextSize);
}

void RunExit(const CommandArgs& args) {
  Scenario& scenario = Current();
  scenario.exitRequested = true;
  CopyText(args.Text(0), scenario.result, kScenarioResultSize);
}

void RunReturn(const CommandArgs&) { Current().returnRequested = true; }

void RunTextShowMessage(const CommandArgs&) { ShowMessageWindow(); }
void RunTextShowFull(const CommandArgs&) { ShowFullScreenText(); }

void RunSprRender(const CommandArgs&) { renderScreen(); }
void RunSprBeginScene(const CommandArgs&) { sceneFadeOut(); }
void RunSprEndScene(const CommandArgs&) { sceneFadeIn(); }

void RunBgmPlay(const CommandArgs& args) { playBgm(args.Text(0)); }

// A scenario may bring its own effect; otherwise the name is one of the system's.
void RunSePlay(const CommandArgs& args) {
  PathBuffer path;
  joinPath(path, gScenarioFolder, args.Text(0), nullptr);
  if (!soundExists(path)) joinPath(path, "sys/se", args.Text(0), nullptr);
  playSe(path);
}

void RunSave(const CommandArgs& args) { SaveDialog(args.Text(0)); }

constexpr OptionRule kGotoOptions[] = {{"target", OptionKind::Text, 264}};
constexpr OptionRule kExitOptions[] = {{"rescode", OptionKind::Text, 256}};
constexpr OptionRule kSoundFileOptions[] = {{"file", OptionKind::Text, 264}};
constexpr OptionRule kSaveOptions[] = {{"target", OptionKind::Text, 264}};

const std::array kCommands = {
    CommandRow{"@sprRender", {}, RunSprRender},
    CommandRow{"@sprBeginScene", {}, RunSprBeginScene},
    CommandRow{"@sprEndScene", {}, RunSprEndScene},
    CommandRow{"@textShowMessage", {}, RunTextShowMessage},
    // A jump or exit line may carry notes of its own: names they do not know are passed over.
    CommandRow{"@goto", kGotoOptions, RunGoto, nullptr, ModeRule::Any, nullptr,
               UnknownOptions::Ignore},
    CommandRow{"@exit", kExitOptions, RunExit, nullptr, ModeRule::Any, nullptr,
               UnknownOptions::Ignore},
    CommandRow{"@return", {}, RunReturn},
    CommandRow{"@textShowFull", {}, RunTextShowFull},
    CommandRow{"@bgmPlay", kSoundFileOptions, RunBgmPlay, nullptr, ModeRule::Any, nullptr,
               UnknownOptions::SkipEmpty},
    CommandRow{"@sePlay", kSoundFileOptions, RunSePlay, nullptr, ModeRule::Any, nullptr,
               UnknownOptions::SkipEmpty},
    CommandRow{"@save", kSaveOptions, RunSave, nullptr, ModeRule::Any, nullptr,
               UnknownOptions::SkipEmpty},
};

}  // namespace

std::span<const CommandRow> CommandTable() { return kCommands; }
