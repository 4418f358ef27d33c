// The vocabulary of the scenario language: one row per command, in the order names are
// compared, and the flow commands, which act on the current scenario directly.
#include <array>

#include "court/court_scene.h"
#include "court/items.h"
#include "court/exclamations.h"
#include "court/inquiry.h"
#include "court/life.h"
#include "game/progress.h"
#include "host/errors.h"
#include "present/frame.h"
#include "present/motion.h"
#include "present/sprites.h"
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
// Sprite numbers in a script's motion files are script sprite numbers.
void RunSprLoadMotion(const CommandArgs& args) {
  loadMotion(kUserSlotBase, args.Text(0), args.Flag(1));
}

void RunBgmPlay(const CommandArgs& args) { playBgm(args.Text(0)); }

// A scenario may bring its own effect; otherwise the name is one of the system's.
void RunSePlay(const CommandArgs& args) {
  PathBuffer path;
  joinPath(path, gScenarioFolder, args.Text(0), nullptr);
  if (!soundExists(path)) joinPath(path, "sys/se", args.Text(0), nullptr);
  playSe(path);
}

void RunSave(const CommandArgs& args) { SaveDialog(args.Text(0)); }

void RunCourtHideLife(const CommandArgs& args) { hideLife(args.Flag(0)); }
// `wipe` shows the gauge at once; without it the gauge fades in.
void RunCourtShowLife(const CommandArgs& args) { showLife(args.Flag(0)); }
void RunCourtReduceLife(const CommandArgs&) {
  if (reduceLife()) Current().exitRequested = true;
}
void RunCourtSetLife(const CommandArgs& args) { setLife(args.Integer(0)); }
void RunCourtSetNolife(const CommandArgs& args) { setNolifeTarget(args.Text(0)); }

void RunItemShow(const CommandArgs& args) { showItemPicture(args.Integer(0), args.Flag(1)); }
void RunItemHide(const CommandArgs&) { hideItemPicture(); }
void RunItemMessage(const CommandArgs& args) {
  showItemMessage(args.Integer(0), args.Text(1), args.Text(2), args.Flag(3));
}
void RunItemGetShow(const CommandArgs& args) { announceItem(args.Integer(0), args.Integer(1)); }
void RunItemShowKiroku(const CommandArgs& args) {
  showRecordButton(args.Text(2), args.Integer(0), args.Integer(1));
}
void RunItemHideKiroku(const CommandArgs&) { hideRecordButton(); }
void RunItemSelect(const CommandArgs& args) {
  selectItem(args.Integer(0), args.Text(1), args.Text(2), args.Flag(3), args.Flag(4),
             args.Flag(5), args.Text(6));
}
void RunItemGetNoshow(const CommandArgs& args) { gainItem(args.Integer(0)); }
void RunItemLost(const CommandArgs& args) { loseItem(args.Integer(0)); }

// The courtroom stage. `fade` asks for a transition too, so it implies `wipe`.
void RunBackSet(const CommandArgs& args) {
  const bool fade = args.Flag(4);
  setBack(args.Text(0), args.Text(1), args.Integer(5), args.Flag(2), fade ? "fade" : "",
          !(args.Flag(3) || fade));
}
void RunFrontSet(const CommandArgs& args) {
  setFront(args.Text(0), args.Integer(1), args.Integer(2), !args.Flag(3));
}
void RunCharaShow(const CommandArgs& args, int place) {
  showChara(args.Text(0), place, args.Integer(1), args.Integer(2), !args.Flag(3));
}
void RunCharaShowLeft(const CommandArgs& args) { RunCharaShow(args, kCharaPlaceLeft); }
void RunCharaShowCenter(const CommandArgs& args) { RunCharaShow(args, kCharaPlaceCenter); }
void RunCharaShowRight(const CommandArgs& args) { RunCharaShow(args, kCharaPlaceRight); }
void RunCharaHideLeft(const CommandArgs& args) { hideChara(kCharaPlaceLeft, !args.Flag(0)); }
void RunCharaHideCenter(const CommandArgs& args) { hideChara(kCharaPlaceCenter, !args.Flag(0)); }
void RunCharaHideRight(const CommandArgs& args) { hideChara(kCharaPlaceRight, !args.Flag(0)); }
void RunCharaHideAll(const CommandArgs& args) { hideChara(kCharaPlaceAll, !args.Flag(0)); }
void RunBackPos(const CommandArgs& args) { panBack(args.Integer(0), args.Real(1)); }
// Options of the court positions: noscr, noclear, wipe, fade.
void RunCourtLawyer(const CommandArgs& a) {
  setLawyerBack(a.Flag(0), a.Flag(1), a.Flag(2) || a.Flag(3), a.Flag(3));
}
void RunCourtWitness(const CommandArgs& a) {
  setWitnessBack(a.Flag(0), a.Flag(1), a.Flag(2) || a.Flag(3), a.Flag(3));
}
void RunCourtProsecutor(const CommandArgs& a) {
  setProsecutorBack(a.Flag(0), a.Flag(1), a.Flag(2) || a.Flag(3), a.Flag(3));
}
void RunCourtJudge(const CommandArgs& a) {
  setJudgeBack(a.Flag(1), a.Flag(2) || a.Flag(3), a.Flag(3));
}
void RunCourtGuide(const CommandArgs& a) {
  setGuideBack(a.Flag(1), a.Flag(2) || a.Flag(3), a.Flag(3));
}

constexpr OptionRule kBackSetOptions[] = {{"file", OptionKind::Text, 264},
                                          {"color", OptionKind::Text, 256},
                                          {"noclear", OptionKind::Flag},
                                          {"wipe", OptionKind::Flag},
                                          {"fade", OptionKind::Flag},
                                          {"pos", OptionKind::Integer, 0, "0"}};
constexpr OptionRule kFrontSetOptions[] = {{"file", OptionKind::Text, 264},
                                           {"x", OptionKind::Integer, 0, "0"},
                                           {"y", OptionKind::Integer, 0, "0"},
                                           {"wipe", OptionKind::Flag}};
constexpr OptionRule kCharaShowLeftOptions[] = {{"file", OptionKind::Text, 264},
                                                {"x", OptionKind::Integer, 0, "-180"},
                                                {"y", OptionKind::Integer, 0, "0"},
                                                {"wipe", OptionKind::Flag}};
constexpr OptionRule kCharaShowCenterOptions[] = {{"file", OptionKind::Text, 264},
                                                  {"x", OptionKind::Integer, 0, "0"},
                                                  {"y", OptionKind::Integer, 0, "0"},
                                                  {"wipe", OptionKind::Flag}};
constexpr OptionRule kCharaShowRightOptions[] = {{"file", OptionKind::Text, 264},
                                                 {"x", OptionKind::Integer, 0, "80"},
                                                 {"y", OptionKind::Integer, 0, "0"},
                                                 {"wipe", OptionKind::Flag}};
constexpr OptionRule kCharaHideOptions[] = {{"wipe", OptionKind::Flag}};
constexpr OptionRule kBackPosOptions[] = {{"pos", OptionKind::Integer, 0, "0"},
                                          {"speed", OptionKind::Float, 0, "500.0"}};
constexpr OptionRule kCourtPositionOptions[] = {{"noscr", OptionKind::Flag},
                                                {"noclear", OptionKind::Flag},
                                                {"wipe", OptionKind::Flag},
                                                {"fade", OptionKind::Flag}};
constexpr const char* kCharaShowName = "@charaShow";
constexpr const char* kCharaHideName = "@charaHide";
constexpr const char* kCourtPositionName =
    "@courtSetLawyerBack / @courtSetWitnessBack / @courtSetProsecutorBack / "
    "@courtSetJudgeBack / @courtSetGuideBack";

// The set pieces of the courtroom.
void RunTextShowName(const CommandArgs& args) { showNamePlate(args.Text(0)); }
void RunTextShowScene(const CommandArgs& args) { showSceneCaption(args.Text(0), args.Text(1)); }
void RunTextShowLoud(const CommandArgs& args) { showLoudText(args.Text(0)); }
// Which exclamation a row shouts is told by the row's own name.
void RunCourtShow(const CommandArgs& args, const char* type) {
  showExclamation(type, args.Text(2), args.Integer(1), args.Flag(0));
}
void RunCourtShowKurae(const CommandArgs& args) { RunCourtShow(args, "kurae"); }
void RunCourtShowMatta(const CommandArgs& args) { RunCourtShow(args, "matta"); }
void RunCourtShowIgi(const CommandArgs& args) { RunCourtShow(args, "igi"); }
void RunCourtShowPlea(const CommandArgs& args) { showVerdict(args.Flag(0)); }
// Testimony and cross-examination; the steering commands act on the running inquiry.
void RunInquiry(const CommandArgs& args, bool testimony) {
  if (runInquiry(args.Text(0), args.Text(1), testimony)) Current().exitRequested = true;
}
void RunInquiryRun(const CommandArgs& args) { RunInquiry(args, false); }
void RunTestimonyRun(const CommandArgs& args) { RunInquiry(args, true); }
void RunInquiryDisableSpeech(const CommandArgs& args) {
  setStatementVisible(args.Integer(0), false);
}
void RunInquiryEnableSpeech(const CommandArgs& args) { setStatementVisible(args.Integer(0), true); }
void RunInquiryExit(const CommandArgs&) { exitInquiry(); }
void RunInquiryRewind(const CommandArgs&) { rewindInquiry(); }
constexpr OptionRule kInquiryRunOptions[] = {{"file", OptionKind::Text, 264, "", true},
                                             {"bgm", OptionKind::Text, 264}};
constexpr const char* kInquiryRunName = "@inquiryRun/@testimonyRun";
constexpr OptionRule kSpeechOptions[] = {{"no", OptionKind::Integer, 0, "-1", true, true}};

constexpr OptionRule kGotoOptions[] = {{"target", OptionKind::Text, 264}};
constexpr OptionRule kExitOptions[] = {{"rescode", OptionKind::Text, 256}};
constexpr OptionRule kSoundFileOptions[] = {{"file", OptionKind::Text, 264}};
constexpr OptionRule kSaveOptions[] = {{"target", OptionKind::Text, 264}};
constexpr OptionRule kNowipeOptions[] = {{"nowipe", OptionKind::Flag}};
constexpr OptionRule kWipeOptions[] = {{"wipe", OptionKind::Flag}};
constexpr OptionRule kSetLifeOptions[] = {{"", OptionKind::Integer, 0, "-1", true, true, true}};
constexpr OptionRule kNolifeOptions[] = {{"target", OptionKind::Text, 264, "", true}};
constexpr OptionRule kLoadMotionOptions[] = {{"file", OptionKind::Text, 264, "", true},
                                             {"wait", OptionKind::Flag}};
// The speaker's name is the bare word after the command; nothing after it is read.
constexpr OptionRule kShowNameOptions[] = {{"", OptionKind::Text, 264, "", false, false, true}};
constexpr OptionRule kShowSceneOptions[] = {{"line1", OptionKind::Text, 256},
                                            {"line2", OptionKind::Text, 256}};
constexpr OptionRule kShowLoudOptions[] = {{"value", OptionKind::Text, 264}};
constexpr OptionRule kExclamationOptions[] = {{"right", OptionKind::Flag},
                                              {"item", OptionKind::Integer, 0, "-1"},
                                              {"voice", OptionKind::Text, 256}};
constexpr const char* kExclamationReportName = "@courtShowKurae/@courtShowMatta/@courtShowIgi";
constexpr OptionRule kShowPleaOptions[] = {{"guilty", OptionKind::Flag}};
// The item number is the command's bare first word.
constexpr OptionRule kItemNumber = {"", OptionKind::Integer, 0, "", true, false, true};
constexpr OptionRule kItemShowOptions[] = {kItemNumber, {"right", OptionKind::Flag}};
constexpr OptionRule kItemMessageOptions[] = {kItemNumber,
                                              {"before", OptionKind::Text, 256},
                                              {"after", OptionKind::Text, 256},
                                              {"right", OptionKind::Flag}};
constexpr OptionRule kItemNumberOnly[] = {kItemNumber};
constexpr OptionRule kItemGetShowOptions[] = {kItemNumber, {"se", OptionKind::Integer, 0, "0"}};
constexpr OptionRule kItemShowKirokuOptions[] = {{"x", OptionKind::Integer, 0, "0"},
                                                 {"y", OptionKind::Integer, 0, "0"},
                                                 {"target", OptionKind::Text, 264}};
constexpr OptionRule kItemSelectOptions[] = {{"item", OptionKind::Integer, 0, "", true, true},
                                             {"success", OptionKind::Text, 264, "", true},
                                             {"miss", OptionKind::Text, 264, "", true},
                                             {"charaonly", OptionKind::Flag},
                                             {"kurae", OptionKind::Flag},
                                             {"right", OptionKind::Flag},
                                             {"voice", OptionKind::Text, 264}};

// From @inquiryRun on, a token with an empty name (a line ending in blanks) is passed over.
constexpr CommandRow Later(const char* name, std::span<const OptionRule> options,
                           void (*run)(const CommandArgs&), const char* reportName = nullptr,
                           ModeRule mode = ModeRule::Any, const char* modeMessage = nullptr) {
  return CommandRow{name, options, run, reportName, mode, modeMessage, UnknownOptions::SkipEmpty};
}

const std::array kCommands = {
    CommandRow{"@sprRender", {}, RunSprRender},
    CommandRow{"@backSet", kBackSetOptions, RunBackSet},
    CommandRow{"@frontSet", kFrontSetOptions, RunFrontSet},
    CommandRow{"@charaShowLeft", kCharaShowLeftOptions, RunCharaShowLeft, kCharaShowName},
    CommandRow{"@charaShowCenter", kCharaShowCenterOptions, RunCharaShowCenter, kCharaShowName},
    CommandRow{"@charaShowRight", kCharaShowRightOptions, RunCharaShowRight, kCharaShowName},
    CommandRow{"@charaHideLeft", kCharaHideOptions, RunCharaHideLeft, kCharaHideName},
    CommandRow{"@charaHideCenter", kCharaHideOptions, RunCharaHideCenter, kCharaHideName},
    CommandRow{"@charaHideRight", kCharaHideOptions, RunCharaHideRight, kCharaHideName},
    CommandRow{"@charaHideAll", kCharaHideOptions, RunCharaHideAll, kCharaHideName},
    CommandRow{"@sprBeginScene", {}, RunSprBeginScene},
    CommandRow{"@sprEndScene", {}, RunSprEndScene},
    CommandRow{"@sprLoadMotion", kLoadMotionOptions, RunSprLoadMotion},
    CommandRow{"@textShowMessage", {}, RunTextShowMessage},
    CommandRow{"@textShowName", kShowNameOptions, RunTextShowName, nullptr, ModeRule::Any,
               nullptr, UnknownOptions::Report, false},
    CommandRow{"@textShowScene", kShowSceneOptions, RunTextShowScene},
    // A jump or exit line may carry notes of its own: names they do not know are passed over.
    CommandRow{"@goto", kGotoOptions, RunGoto, nullptr, ModeRule::Any, nullptr,
               UnknownOptions::Ignore},
    CommandRow{"@exit", kExitOptions, RunExit, nullptr, ModeRule::Any, nullptr,
               UnknownOptions::Ignore},
    CommandRow{"@return", {}, RunReturn},
    CommandRow{"@itemShow", kItemShowOptions, RunItemShow},
    CommandRow{"@itemHide", {}, RunItemHide},
    CommandRow{"@itemMessage", kItemMessageOptions, RunItemMessage},
    CommandRow{"@itemGetShow", kItemGetShowOptions, RunItemGetShow},
    CommandRow{"@itemGetNoshow", kItemNumberOnly, RunItemGetNoshow},
    CommandRow{"@itemLost", kItemNumberOnly, RunItemLost},
    CommandRow{"@backPos", kBackPosOptions, RunBackPos},
    Later("@inquiryRun", kInquiryRunOptions, RunInquiryRun, kInquiryRunName, ModeRule::NormalOnly,
          kInquiryRunModeMessage),
    Later("@testimonyRun", kInquiryRunOptions, RunTestimonyRun, kInquiryRunName,
          ModeRule::NormalOnly, kInquiryRunModeMessage),
    Later("@inquiryDisableSpeech", kSpeechOptions, RunInquiryDisableSpeech, nullptr,
          ModeRule::InquiryOnly, kDisableSpeechModeMessage),
    Later("@inquiryEnableSpeech", kSpeechOptions, RunInquiryEnableSpeech, nullptr,
          ModeRule::InquiryOnly, kEnableSpeechModeMessage),
    Later("@inquiryExit", {}, RunInquiryExit, nullptr, ModeRule::InquiryOnly,
          kInquiryExitModeMessage),
    Later("@inquiryRewind", {}, RunInquiryRewind, nullptr, ModeRule::InquiryOnly,
          kInquiryRewindModeMessage),
    Later("@courtShowKurae", kExclamationOptions, RunCourtShowKurae, kExclamationReportName),
    Later("@courtShowMatta", kExclamationOptions, RunCourtShowMatta, kExclamationReportName),
    Later("@courtShowIgi", kExclamationOptions, RunCourtShowIgi, kExclamationReportName),
    Later("@courtHideCourtLife", kNowipeOptions, RunCourtHideLife),
    Later("@courtShowLife", kWipeOptions, RunCourtShowLife),
    Later("@courtReduceLife", {}, RunCourtReduceLife),
    Later("@courtSetLife", kSetLifeOptions, RunCourtSetLife),
    Later("@courtSetNolifeScenario", kNolifeOptions, RunCourtSetNolife),
    Later("@courtSetLawyerBack", kCourtPositionOptions, RunCourtLawyer, kCourtPositionName),
    Later("@courtSetWitnessBack", kCourtPositionOptions, RunCourtWitness, kCourtPositionName),
    Later("@courtSetProsecutorBack", kCourtPositionOptions, RunCourtProsecutor,
          kCourtPositionName),
    Later("@courtSetJudgeBack", kCourtPositionOptions, RunCourtJudge, kCourtPositionName),
    Later("@courtSetGuideBack", kCourtPositionOptions, RunCourtGuide, kCourtPositionName),
    Later("@textShowFull", {}, RunTextShowFull),
    Later("@itemShowKiroku", kItemShowKirokuOptions, RunItemShowKiroku),
    Later("@itemHideKiroku", {}, RunItemHideKiroku),
    Later("@itemSelect", kItemSelectOptions, RunItemSelect),
    Later("@bgmPlay", kSoundFileOptions, RunBgmPlay),
    Later("@sePlay", kSoundFileOptions, RunSePlay),
    Later("@textShowLoud", kShowLoudOptions, RunTextShowLoud),
    Later("@courtShowPlea", kShowPleaOptions, RunCourtShowPlea),
    Later("@save", kSaveOptions, RunSave),
};

}  // namespace

std::span<const CommandRow> CommandTable() { return kCommands; }
