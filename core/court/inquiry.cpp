// The inquiry file and its reader, the title that opens every run, the testimony pass, the
// cross-examination's passes with their buttons and reactions, and the steering commands.
#include "court/inquiry.h"

#include <cstring>
#include <initializer_list>
#include <memory>

#include "court/court_scene.h"
#include "court/exclamations.h"
#include "court/items.h"
#include "court/life.h"
#include "host/errors.h"
#include "host/host_api.h"
#include "present/buttons.h"
#include "present/frame.h"
#include "present/resources.h"
#include "present/sound.h"
#include "present/sprite_definition.h"
#include "present/sprites.h"
#include "script/message.h"
#include "script/scenario.h"
#include "script/syntax.h"
#include "support/sjis_literal.h"
#include "support/support.h"

namespace {

Inquiry* gCurrentInquiry = nullptr;

// ---- The inquiry file -------------------------------------------------------------------

constexpr std::size_t kTokenSize = 1024;

// One command line of the file: its name, then its options one at a time.
struct InquiryLine {
  const char* cursor;
  bool ended = false;
  const char* command = nullptr;  // the command's own name, as messages give it
  char name[kTokenSize] = {};
  char value[kTokenSize] = {};

  // The next option; false at the line end. Blanks after the last option are not an option
  // of their own.
  bool Next() {
    while (!ended) {
      NextOption(cursor, '\0', ended, name, sizeof name, value, sizeof value);
      if (name[0] != '\0') return true;
    }
    return false;
  }
  bool Is(const char* option) const { return TextEqualsNoCase(name, option); }
  [[noreturn]] void Unknown() const { BadOption(command, name); }
};

// Options are read into buffers of their field's size, so a long value is cut there.
bool TakeText(InquiryLine& line, const char* option, char* field, std::size_t size) {
  if (!line.Is(option)) return false;
  CopyText(line.value, field, size);
  return true;
}

void ReadInfo(InquiryLine& line, Inquiry& inquiry) {
  while (line.Next()) {
    if (!TakeText(line, "title", inquiry.title, sizeof inquiry.title) &&
        !TakeText(line, "subscn", inquiry.subScenario, sizeof inquiry.subScenario) &&
        !TakeText(line, "name", inquiry.witness, sizeof inquiry.witness) &&
        !TakeText(line, "lawyer", inquiry.lawyer, sizeof inquiry.lawyer))
      line.Unknown();
  }
}

// Starts or resumes a statement; flags are only ever added. Returns its number.
int ReadSection(InquiryLine& line, Inquiry& inquiry) {
  int number = -1;
  std::uint32_t flags = 0;
  while (line.Next()) {
    if (line.Is("no"))
      number = ParseInt(line.value);
    else if (line.Is("enable"))
      flags |= kStatementVisible;
    else if (line.Is("kurae"))
      flags |= kStatementKurae;
    else
      line.Unknown();
  }
  // A number past the bound counts as missing: the statements would grow to it.
  if (number < 0 || number > kMaxStatementNumber) BadCommand(line.command);
  const auto index = static_cast<std::size_t>(number);
  if (index >= inquiry.statements.size()) inquiry.statements.resize(index + 1);
  inquiry.statements[index].flags |= flags;
  return number;
}

void ReadStatementLine(InquiryLine& line, InquiryStatement& statement) {
  const char* command = line.command;
  while (line.Next()) {
    if (std::strcmp(command, "@img") == 0) {
      if (TakeText(line, "file", statement.picture, sizeof statement.picture)) continue;
      if (line.Is("x")) statement.x = ParseInt(line.value);
      else if (line.Is("y")) statement.y = ParseInt(line.value);
      else if (line.Is("wipe")) statement.flags |= kStatementFadeIn;
      else line.Unknown();
    } else if (std::strcmp(command, "@speech") == 0) {
      if (!TakeText(line, "value", statement.text, sizeof statement.text)) line.Unknown();
    } else if (std::strcmp(command, "@shake") == 0) {
      if (!TakeText(line, "target", statement.pressTarget, sizeof statement.pressTarget))
        line.Unknown();
    } else if (std::strcmp(command, "@confront") == 0) {
      if (line.Is("item")) statement.item = ParseInt(line.value);
      else if (!TakeText(line, "success", statement.successTarget,
                         sizeof statement.successTarget) &&
               !TakeText(line, "miss", statement.missTarget, sizeof statement.missTarget))
        line.Unknown();
    } else {  // @end
      if (!TakeText(line, "target", statement.endTarget, sizeof statement.endTarget))
        line.Unknown();
    }
  }
}

constexpr const char* kStatementCommands[] = {"@img", "@speech", "@shake", "@confront", "@end"};

void ReadInquiryLine(const char* text, Inquiry& inquiry, int& section) {
  InquiryLine line{text};
  char word[kTokenSize];
  NextOption(line.cursor, '\0', line.ended, word, sizeof word, nullptr, 0);
  if (word[0] == '\0') return;  // an empty line
  if (TextEqualsNoCase(word, "@info")) {
    line.command = "@info";
    ReadInfo(line, inquiry);
    return;
  }
  if (TextEqualsNoCase(word, "@section")) {
    line.command = "@section";
    section = ReadSection(line, inquiry);
    return;
  }
  for (const char* command : kStatementCommands) {
    if (!TextEqualsNoCase(word, command)) continue;
    line.command = command;
    // These describe the statement of the last `@section`; before one there is none.
    if (section < 0) BadCommand(command);
    ReadStatementLine(line, inquiry.statements[static_cast<std::size_t>(section)]);
    return;
  }
  BadCommand(word);
}

// ---- Pieces of the screen ---------------------------------------------------------------

constexpr int kCourtClass = 0;
constexpr int kLogoEntry = 4;  // court sprite entry of the title logo
constexpr int kShakeSlot = 31;
constexpr int kConfrontSlot = 32;
constexpr int kLeftSlot = 33;
constexpr int kRightSlot = 34;
constexpr int kTopButtonLevel = 21;
constexpr int kPagingButtonLevel = 82;
constexpr int kPagingButtonY = 491;
constexpr int kWitnessBackX = -928;
constexpr float kWitnessPanSpeed = 500.0f;
constexpr int kSceneFade = 300;
constexpr const char* kMainBack = "bg_court_main";
constexpr const char* kMainFront = "fg_court_main";
constexpr int kMainFrontY = 589;

void RemoveSprite(int slot) {
  if (!isSpriteValid(slot)) return;
  hideSprite(slot, "none");
  destroySprite(slot);
}

// The stage fades to black and every character leaves.
void FadeToBlack() { setBack("", "black", 0, false, "fade", false); }

void ShowStatementPicture(const InquiryStatement& statement, bool fade) {
  showChara(statement.picture, kCharaPlaceCenter, statement.x, statement.y, !fade);
}

bool IsVisible(const Inquiry& inquiry, int number) {
  return (inquiry.statements[static_cast<std::size_t>(number)].flags & kStatementVisible) != 0;
}

int FirstVisible(const Inquiry& inquiry) {
  const int count = static_cast<int>(inquiry.statements.size());
  for (int i = 0; i < count; ++i)
    if (IsVisible(inquiry, i)) return i;
  return -1;
}

int LastVisible(const Inquiry& inquiry) {
  for (int i = static_cast<int>(inquiry.statements.size()) - 1; i >= 0; --i)
    if (IsVisible(inquiry, i)) return i;
  return -1;
}

// The next visible statement after `from`, no further than `last` (`last` itself when the
// ones in between are hidden); the previous one likewise, no further back than `first`.
int StepForward(const Inquiry& inquiry, int from, int last) {
  for (int i = from + 1; i < last; ++i)
    if (IsVisible(inquiry, i)) return i;
  return last;
}
int StepBack(const Inquiry& inquiry, int from, int first) {
  for (int i = from - 1; i > first; --i)
    if (IsVisible(inquiry, i)) return i;
  return first;
}

// The title logo over the stage, "～" and the title written in red under it, and the page
// wait. True when the scenario is leaving.
bool ShowTitle(const Inquiry& inquiry, bool testimony) {
  const CourtSpriteEntry& logo = CourtSpriteTable[kLogoEntry];
  setSceneFadeDuration(0);
  loadSpriteDefinition(logo.slot, kCourtClass,
                       testimony ? "sys/inquiry_logo0" : "sys/inquiry_logo1", 400, 300,
                       logo.level, kStyleShow | kStyleCenter | kStyleMiddle, "slowwipe");
  playSe("sys/se/証言開始"_sj);
  setSceneFadeDuration(kSceneFade);
  if (ShowMessagePlain("[w 500][cr]～"_sj, 0) || ShowMessagePlain(inquiry.title, 0) ||
      ShowMessagePlain("～[c][np]"_sj, kStoryMessageMode))
    return true;
  setSceneFadeDuration(0);
  hideSprite(logo.slot, "wipe");
  destroySprite(logo.slot);
  setSceneFadeDuration(kSceneFade);
  return false;
}

void StartStage(const Inquiry& inquiry) {
  clearNamePlate();
  ShowMessageWindow();
  FadeToBlack();
  setBack(kMainBack, "", kWitnessBackX, false, "fade", false);
  setFront(kMainFront, 0, kMainFrontY, true);
  const int first = FirstVisible(inquiry);
  if (first >= 0)
    ShowStatementPicture(inquiry.statements[static_cast<std::size_t>(first)], true);
}

// The witness stand: a pan when the main court is already up, else a cut to it.
void WitnessStand() {
  if (isBackShown(kMainBack)) {
    panBack(kWitnessBackX, kWitnessPanSpeed);
    return;
  }
  setBack(kMainBack, "", kWitnessBackX, false, "", true);
  setFront(kMainFront, 0, kMainFrontY, true);
}

void AddButton(int slot, int level, const char* label, const char* definition,
               DisplayStyle anchor, int x, int y, std::initializer_list<std::uint32_t> keys) {
  loadSpriteDefinition(slot, kCourtClass, definition, x, y, level, kStyleShow | anchor, "none");
  registerButton(slot, label, keys);
}

// Previous and next at the sides (next also on Return, Space and a click anywhere), press
// and present in the top corners.
void ShowButtons(bool withLeft) {
  const DisplayStyle leftMiddle = kStyleLeft | kStyleMiddle;
  const DisplayStyle rightMiddle = kStyleRight | kStyleMiddle;
  if (withLeft)
    AddButton(kLeftSlot, kPagingButtonLevel, "left", "sys/btn_item_left", leftMiddle, 0,
              kPagingButtonY, {203});
  AddButton(kRightSlot, kPagingButtonLevel, "right", "sys/btn_item_right", rightMiddle, 800,
            kPagingButtonY, {205, 28, 57, 156, kKeyLeftClick});
  AddButton(kShakeSlot, kTopButtonLevel, "shake", "sys/btn_inquiry_shake", kStyleLeft | kStyleTop,
            0, 0, {44});
  AddButton(kConfrontSlot, kTopButtonLevel, "confront", "sys/btn_inquiry_confront",
            kStyleRight | kStyleTop, 800, 0, {45});
}

void RemoveButtons() {
  for (int slot : {kLeftSlot, kRightSlot, kShakeSlot, kConfrontSlot}) RemoveSprite(slot);
}

// The page wait of a statement; the name of the button picked is taken out of the running
// scenario, so the run loop never mistakes it for a jump. True when the scenario is leaving.
bool WaitForButton(char (&clicked)[kScenarioTextSize]) {
  const bool leaving = ShowMessagePlain("[np]", kStoryMessageMode);
  clicked[0] = '\0';
  if (Scenario* scenario = CurrentScenario()) {
    CopyText(scenario->pendingTarget, clicked, kScenarioTextSize);
    scenario->pendingTarget[0] = '\0';
    scenario->courtFlags[1] = false;
  }
  return leaving;
}

// ---- The runs ---------------------------------------------------------------------------

// While it lives, the inquiry is the current one; the one before comes back afterwards.
class CurrentInquiry {
 public:
  explicit CurrentInquiry(Inquiry& inquiry) : saved_(gCurrentInquiry) {
    gCurrentInquiry = &inquiry;
  }
  ~CurrentInquiry() { gCurrentInquiry = saved_; }
  CurrentInquiry(const CurrentInquiry&) = delete;
  CurrentInquiry& operator=(const CurrentInquiry&) = delete;

 private:
  Inquiry* saved_;
};

// Every visible statement once, in number order. True when the scenario is leaving.
bool RunTestimony(const Inquiry& inquiry, const char* bgm) {
  for (const InquiryStatement& statement : inquiry.statements) {
    if ((statement.flags & kStatementVisible) == 0) continue;
    playBgm(bgm);
    showNamePlate(inquiry.witness);
    ShowStatementPicture(statement, (statement.flags & kStatementFadeIn) != 0);
    if (ShowMessagePlain(statement.text, 0) || ShowMessagePlain("[np]", kStoryMessageMode))
      return true;
  }
  FadeToBlack();
  return false;
}

// One statement on the stand until the player picks a button; what the pick plays.
// Returns true when the scenario is leaving; `current` moves as the pick pages.
bool RunStatement(Inquiry& inquiry, const char* bgm, int first, int last, int& current) {
  const InquiryStatement& statement = inquiry.statements[static_cast<std::size_t>(current)];
  playBgm(bgm);
  showNamePlate(inquiry.witness);
  WitnessStand();
  // A statement hidden meanwhile shows nothing, but its buttons still work.
  if (IsVisible(inquiry, current)) {
    ShowStatementPicture(statement, (statement.flags & kStatementFadeIn) != 0);
    if (ShowMessagePlain("[cg]", 0) || ShowMessagePlain(statement.text, 0)) return true;
  }
  showLife(true);
  ShowButtons(current != first);
  char clicked[kScenarioTextSize];
  if (WaitForButton(clicked)) return true;
  hideLife(true);
  RemoveButtons();

  bool reacted = false;
  if (std::strcmp(clicked, "shake") == 0) {
    showExclamation("matta", inquiry.lawyer, -1, false);
    if (runInquiryTarget(statement.pressTarget, inquiry.subScenario)) return true;
    reacted = true;
    if (!inquiry.leaveFlag && !inquiry.exitFlag && current != last)
      current = StepForward(inquiry, current, last);
  } else if (std::strcmp(clicked, "confront") == 0) {
    bool leaving = false;
    const int chosen = openCourtRecord(true, true, true, true, leaving);
    if (leaving) return true;
    if (chosen >= 0 && chosen == statement.item) {
      playBgm("");
      if (statement.flags & kStatementKurae)
        showExclamation("kurae", inquiry.lawyer, chosen, false);
      else
        showExclamation("igi", inquiry.lawyer, -1, false);
      if (runInquiryTarget(statement.successTarget, inquiry.subScenario)) return true;
    } else if (chosen >= 0) {
      showExclamation("igi", inquiry.lawyer, -1, false);
      if (runInquiryTarget(statement.missTarget, inquiry.subScenario)) return true;
      reacted = true;
    }
  } else if (std::strcmp(clicked, "left") == 0) {
    current = StepBack(inquiry, current, first);
  } else if (std::strcmp(clicked, "right") == 0) {
    if (current == last) {
      inquiry.leaveFlag = 1;
      reacted = true;
      if (runInquiryTarget(statement.endTarget, inquiry.subScenario)) return true;
    } else {
      current = StepForward(inquiry, current, last);
    }
  }
  if ((inquiry.leaveFlag || reacted) && !inquiry.exitFlag) FadeToBlack();
  return false;
}

// Passes from the first visible statement until a reaction exits. True when the scenario is
// leaving.
bool RunCrossExamination(Inquiry& inquiry, const char* bgm) {
  inquiry.exitFlag = 0;
  while (!inquiry.exitFlag) {
    // The pass pages between the statements visible now; others shown meanwhile are
    // reached in the next pass.
    const int first = FirstVisible(inquiry);
    const int last = LastVisible(inquiry);
    if (first < 0) return false;
    inquiry.leaveFlag = 0;
    int current = first;
    while (!inquiry.leaveFlag)
      if (RunStatement(inquiry, bgm, first, last, current)) return true;
  }
  return false;
}

Inquiry& RunningInquiry(const char* command) {
  if (!gCurrentInquiry) Fatal("%s ran with no inquiry running.", command);
  return *gCurrentInquiry;
}

}  // namespace

Inquiry parseInquiry(const char* name) {
  PathBuffer path;
  joinPath(path, gScenarioFolder, name, "inq");
  ResourceHandle file = openFile(path);
  SetErrorFile(path);
  Inquiry inquiry;
  CopyText(path, inquiry.path, sizeof inquiry.path);
  int section = -1;
  while (const char* line = gHost.lbReadFileLine(hostFile(file))) {
    ++gErrorLine;
    ReadInquiryLine(line, inquiry, section);
  }
  return inquiry;
}

Inquiry* currentInquiry() { return gCurrentInquiry; }

bool runInquiryTarget(const char* label, const char* subScenario) {
  bool exited = false;
  {
    Scenario nested;
    JumpWithDefaultFile(nested, label, subScenario);
    RunLines(nested, kInquiryScenario);
    exited = nested.exitRequested;
    if (exited) {
      if (Scenario* caller = CurrentScenario())
        CopyText(nested.result, caller->result, kScenarioResultSize);
    }
  }
  if (gCurrentInquiry) SetErrorFile(gCurrentInquiry->path);
  return exited;
}

bool runInquiry(const char* file, const char* bgm, bool testimony) {
  auto inquiry = std::make_unique<Inquiry>();
  CurrentInquiry current(*inquiry);
  *inquiry = parseInquiry(file);

  StartStage(*inquiry);
  if (ShowTitle(*inquiry, testimony)) return true;
  return testimony ? RunTestimony(*inquiry, bgm) : RunCrossExamination(*inquiry, bgm);
}

void setStatementVisible(int number, bool visible) {
  const char* command = visible ? "@inquiryEnableSpeech" : "@inquiryDisableSpeech";
  Inquiry& inquiry = RunningInquiry(command);
  if (number < 0 || static_cast<std::size_t>(number) >= inquiry.statements.size())
    ScriptError("%sで指定されたno = \"%d\" は無効です"_sj, command, number);
  std::uint32_t& flags = inquiry.statements[static_cast<std::size_t>(number)].flags;
  flags = visible ? flags | kStatementVisible : flags & ~kStatementVisible;
}

void rewindInquiry() { RunningInquiry("@inquiryRewind").leaveFlag = 1; }

void exitInquiry() {
  Inquiry& inquiry = RunningInquiry("@inquiryExit");
  inquiry.leaveFlag = 1;
  inquiry.exitFlag = 1;
}
