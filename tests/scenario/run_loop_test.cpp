// The run loop and RunScenario: which line goes where, the error context of each line, how
// exit, return and the two jump targets are acted on, nested runs, results and resuming.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "scenario_fixture.h"

namespace {

struct Seen {
  std::string line;
  int mode;
  std::string file;
  int lineNumber;
};

class RunLoop : public ScenarioTest {
 protected:
  // Records every `@` line (with the error context it ran under) and then dispatches it.
  void RecordCommands() {
    onCommand = [this](const char* line, int mode) {
      seen.push_back({line, mode, gErrorFile, gErrorLine});
      DispatchCommand(line, mode);
    };
  }
  std::vector<std::string> Lines() const {
    std::vector<std::string> out;
    for (const Seen& s : seen) out.push_back(s.line);
    return out;
  }
  std::vector<Seen> seen;
};

using RunScenarioTest = ScenarioTest;

}  // namespace

TEST_F(RunLoop, CommandsGoToTheDispatcherAndTextToTheMessageWindow) {
  AddFile("scn/t/start.scn", {"@goto target=x", ":x", "; note", "", "  異議あり！", "@return"});
  RecordCommands();
  Scenario scenario;
  Jump(scenario, "start:");
  RunLines(scenario, kInquiryScenario);
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0].mode, kInquiryScenario);
  EXPECT_EQ(seen[1].mode, kInquiryScenario);
  EXPECT_EQ(shownText, std::vector<std::string>{Sjis("異議あり！")});
  EXPECT_TRUE(scenario.returnRequested);
}

TEST_F(RunLoop, EachLineRunsUnderItsFileAndLineCountingComments) {
  AddFile("scn/t/start.scn", {"; one", "; two", "   @a", "", "@goto target=other:", "@never"});
  AddFile("scn/t/other.scn", {"; one", "@b", "@exit"});
  onCommand = [this](const char* line, int mode) {
    seen.push_back({line, mode, gErrorFile, gErrorLine});
    if (line[1] != 'a' && line[1] != 'b') DispatchCommand(line, mode);
  };
  Scenario scenario;
  Jump(scenario, "start:");
  RunLines(scenario, kNormalScenario);
  ASSERT_EQ(seen.size(), 4u);
  EXPECT_EQ(seen[0].line, "@a");  // leading blanks skipped
  EXPECT_EQ(seen[0].file, "scn/t/start.scn");
  EXPECT_EQ(seen[0].lineNumber, 3);
  EXPECT_EQ(seen[1].lineNumber, 5);
  EXPECT_EQ(seen[2].file, "scn/t/other.scn");
  EXPECT_EQ(seen[2].lineNumber, 2);
  EXPECT_EQ(seen[3].lineNumber, 3);
}

TEST_F(RunLoop, UnknownCommandNamesItsLine) {
  AddFile("scn/t/start.scn", {"; c", "", "; c", "@unknown now"});
  Scenario scenario;
  Jump(scenario, "start:");
  std::string message = ErrorOf([&] { RunLines(scenario, kNormalScenario); });
  EXPECT_EQ(message, InContext("scn/t/start.scn", 4, "コマンド@unknownが認識できません。"));
}

TEST_F(RunLoop, PendingTargetWinsOverTheLinesJumpTarget) {
  AddFile("scn/t/start.scn", {"@choose", "@never", ":line", "@never", ":pending", "@exit rescode=ok"});
  onCommand = [this](const char* line, int mode) {
    seen.push_back({line, mode, gErrorFile, gErrorLine});
    if (std::string(line) == "@choose") {
      CopyText("line", CurrentScenario()->jumpTarget, kScenarioTextSize);
      CopyText("pending", CurrentScenario()->pendingTarget, kScenarioTextSize);
      return;
    }
    DispatchCommand(line, mode);
  };
  Scenario scenario;
  Jump(scenario, "start:");
  RunLines(scenario, kNormalScenario);
  EXPECT_EQ(Lines(), (std::vector<std::string>{"@choose", "@exit rescode=ok"}));
  EXPECT_STREQ(scenario.result, "ok");
}

TEST_F(RunLoop, JumpLandsOnTheLabelLineAndGoesOn) {
  AddFile("scn/t/start.scn", {"@goto target=b", ":a", "@a", ":b", "@b"});
  onCommand = [this](const char* line, int mode) {
    seen.push_back({line, mode, gErrorFile, gErrorLine});
    if (line[1] == 'g') DispatchCommand(line, mode);
  };
  Scenario scenario;
  Jump(scenario, "start:");
  RunLines(scenario, kNormalScenario);
  EXPECT_EQ(Lines(), (std::vector<std::string>{"@goto target=b", "@b"}));
  EXPECT_TRUE(AtEnd(scenario));
  EXPECT_EQ(Count("lbCreateFile"), 1);
}

TEST_F(RunLoop, ExitAndReturnStopBeforeTheNextLine) {
  AddFile("scn/t/exit.scn", {"@exit", "@never"});
  AddFile("scn/t/return.scn", {"@return", "@never"});
  RecordCommands();
  Scenario scenario;
  Jump(scenario, "exit:");
  RunLines(scenario, kNormalScenario);
  EXPECT_TRUE(scenario.exitRequested);
  EXPECT_EQ(scenario.lineNumber, 1);
  Jump(scenario, "return:");
  RunLines(scenario, kNormalScenario);
  EXPECT_TRUE(scenario.returnRequested);
  EXPECT_FALSE(scenario.exitRequested);  // cleared when the next line started
  EXPECT_EQ(Lines(), (std::vector<std::string>{"@exit", "@return"}));
}

TEST_F(RunLoop, LineStateIsClearedBeforeEveryLine) {
  AddFile("scn/t/start.scn", {"@set", "@check"});
  bool checked = false;
  onCommand = [&](const char* line, int) {
    Scenario& s = *CurrentScenario();
    if (std::string(line) == "@set") {
      s.courtFlags[0] = true;
      s.courtFlags[1] = true;
      CopyText("kept", s.result, kScenarioResultSize);
      return;
    }
    checked = true;
    EXPECT_TRUE(s.courtFlags[0]);
    EXPECT_FALSE(s.courtFlags[1]);
    EXPECT_STREQ(s.jumpTarget, "");
    EXPECT_STREQ(s.pendingTarget, "");
    EXPECT_STREQ(s.result, "kept");
  };
  Scenario scenario;
  Jump(scenario, "start:");
  RunLines(scenario, kNormalScenario);
  EXPECT_TRUE(checked);
}

TEST_F(RunLoop, NestedRunSeesItsOwnScenarioAndGivesTheOuterOneBack) {
  AddFile("scn/t/start.scn", {"@nest", "@after"});
  AddFile("scn/t/inner.scn", {"; inner", "@inside", "@return", "@never"});
  Scenario outer;
  Scenario inner;
  std::vector<std::string> log;
  onCommand = [&](const char* line, int mode) {
    std::string l = line;
    log.push_back(l + " " + std::to_string(mode) + " " + gErrorFile + ":" + std::to_string(gErrorLine));
    if (l == "@nest") {
      EXPECT_EQ(CurrentScenario(), &outer);
      Jump(inner, "inner:");
      RunLines(inner, kInquiryScenario);
      EXPECT_EQ(CurrentScenario(), &outer);
      EXPECT_STREQ(gErrorFile, "scn/t/start.scn");  // the nesting line is current again
      EXPECT_EQ(gErrorLine, 1);
    } else if (l == "@inside") {
      EXPECT_EQ(CurrentScenario(), &inner);
    } else if (l == "@return") {
      DispatchCommand(line, mode);
    }
  };
  Jump(outer, "start:");
  RunLines(outer, kNormalScenario);
  EXPECT_EQ(log, (std::vector<std::string>{"@nest 0 scn/t/start.scn:1", "@inside 1 scn/t/inner.scn:2",
                                           "@return 1 scn/t/inner.scn:3", "@after 0 scn/t/start.scn:2"}));
  EXPECT_TRUE(inner.returnRequested);
  EXPECT_FALSE(outer.returnRequested);
  EXPECT_EQ(CurrentScenario(), nullptr);
}

TEST_F(RunLoop, FatalErrorInANestedRunLeavesNoCurrentScenario) {
  AddFile("scn/t/start.scn", {"@nest"});
  AddFile("scn/t/inner.scn", {"@bad"});
  Scenario inner;
  onCommand = [&](const char* line, int mode) {
    if (std::string(line) == "@nest") {
      Jump(inner, "inner:");
      RunLines(inner, kNormalScenario);
    } else {
      DispatchCommand(line, mode);
    }
  };
  Scenario outer;
  Jump(outer, "start:");
  std::string message = ErrorOf([&] { RunLines(outer, kNormalScenario); });
  EXPECT_EQ(message, InContext("scn/t/inner.scn", 1, "コマンド@badが認識できません。"));
  EXPECT_EQ(CurrentScenario(), nullptr);
}

TEST_F(RunLoop, StoryTextWithoutAMessageWindowEndsTheGame) {
  ScenarioHooks hooks = InstalledScenarioHooks();
  hooks.showMessage = nullptr;
  InstallScenarioHooks(hooks);
  AddFile("scn/t/start.scn", {"; c", "text"});
  Scenario scenario;
  Jump(scenario, "start:");
  std::string message = ErrorOf([&] { RunLines(scenario, kNormalScenario); });
  EXPECT_EQ(message.rfind(InContext("scn/t/start.scn", 2, ""), 0), 0u) << message;
}

TEST_F(RunLoop, CommandWithoutADispatcherEndsTheGame) {
  InstallScenarioHooks(ScenarioHooks{});
  AddFile("scn/t/start.scn", {"@exit"});
  Scenario scenario;
  Jump(scenario, "start:");
  EXPECT_THROW(RunLines(scenario, kNormalScenario), DExceptGame);
}

TEST_F(RunLoop, EmptyScenarioReturnsAtOnce) {
  Scenario scenario;
  RunLines(scenario, kNormalScenario);
  EXPECT_TRUE(host->calls.empty());
  EXPECT_EQ(CurrentScenario(), nullptr);
}

TEST_F(RunScenarioTest, ResetsTheScreenThenRunsFromTheTarget) {
  AddFile("scn/run/start.scn", {"@exit rescode=first", ":second", "@exit rescode=second"});
  char result[kScenarioResultSize] = "stale";
  RunScenario("scn/run", result, sizeof result, "start:second", false);
  EXPECT_EQ(resets, 1);
  EXPECT_STREQ(gScenarioFolder, "scn/run");
  EXPECT_STREQ(result, "second");
  EXPECT_EQ(CurrentScenario(), nullptr);
}

TEST_F(RunScenarioTest, ResultIsCutToTheCallersSize) {
  AddFile("scn/run/start.scn", {"@exit rescode=abcdef"});
  char result[4];
  RunScenario("scn/run", result, sizeof result, "start:", false);
  EXPECT_STREQ(result, "abc");
}

TEST_F(RunScenarioTest, FileEndingWithoutExitGivesAnEmptyResult) {
  AddFile("scn/run/start.scn", {":only", "; nothing else"});
  char result[kScenarioResultSize] = "stale";
  RunScenario("scn/run", result, sizeof result, "start:", false);
  EXPECT_STREQ(result, "");
}

TEST_F(RunScenarioTest, NoResultBufferIsFine) {
  AddFile("scn/run/start.scn", {"@exit rescode=x"});
  RunScenario("scn/run", nullptr, 0, "start:", false);
  EXPECT_EQ(Count("lbCreateFile"), 1);
}

TEST_F(RunScenarioTest, ReturnAtTheTopEndsTheRun) {
  AddFile("scn/run/start.scn", {"@return", "@exit rescode=never"});
  char result[kScenarioResultSize] = "stale";
  RunScenario("scn/run", result, sizeof result, "start:", false);
  EXPECT_STREQ(result, "");
}

TEST_F(RunScenarioTest, ResumeTakesFolderAndTargetFromTheProgressFile) {
  std::filesystem::path file =
      std::filesystem::temp_directory_path() / ("orvane_resume_" + std::to_string(getpid()) + ".sav");
  std::ofstream(file) << "[save]\r\npt_scn=scn/saved\r\npt_target=part2:resume\r\n";
  progressPath = file.string();
  AddFile("scn/saved/part2.scn", {"@exit rescode=wrong", ":resume", "@exit rescode=resumed"});
  char result[kScenarioResultSize];
  RunScenario("scn/ignored", result, sizeof result, "start:", true);
  std::filesystem::remove(file);
  EXPECT_STREQ(gScenarioFolder, "scn/saved");
  EXPECT_STREQ(result, "resumed");
  EXPECT_EQ(Count("lbCreateFile(\"scn/ignored"), 0);
}

TEST_F(RunScenarioTest, ResumeWithoutProgressRunsNothing) {
  progressPath = "/nonexistent/orvane/progress.sav";
  char result[kScenarioResultSize] = "stale";
  RunScenario("scn/ignored", result, sizeof result, "start:", true);
  EXPECT_STREQ(gScenarioFolder, "");
  EXPECT_STREQ(result, "");
  EXPECT_EQ(Count("lbCreateFile"), 0);
}

TEST_F(RunScenarioTest, MissingStartFileIsReported) {
  std::string message = ErrorOf([&] { RunScenario("scn/none", nullptr, 0, "start:", false); });
  EXPECT_EQ(message, InContext("", 0, "ファイル \"scn/none/start.scn\" が開けません。"));
}
