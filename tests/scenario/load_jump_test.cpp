// Loading a scenario file and jumping through it: what the host is asked, how comments keep
// the line numbers, which label lines match, and when a jump reloads.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "scenario_fixture.h"

namespace {

using Load = ScenarioTest;
using Jumping = ScenarioTest;

}  // namespace

TEST_F(Load, OpensReadsEveryLineAndCloses) {
  AddFile("scn/t/start.scn", {"@a", "@b"});
  Scenario scenario;
  LoadScenarioFile(scenario, "start");
  std::vector<std::string> expected = {"lbCreateFile(\"scn/t/start.scn\",1)", "lbReadFileLine",
                                       "lbReadFileLine", "lbReadFileLine", "lbDestroyFile"};
  EXPECT_EQ(host->calls, expected);
  EXPECT_STREQ(scenario.path, "scn/t/start.scn");
  EXPECT_EQ(scenario.lineNumber, 1);
  EXPECT_EQ(scenario.position, 0u);
  EXPECT_EQ(scenario.lines.size(), 2u);
}

TEST_F(Load, CommentLinesStayAsEmptyLines) {
  AddFile("scn/t/start.scn", {"; note", "  \t; indented", "　; after a full-width blank",
                              "@a ; not a comment", "  @b"});
  Scenario scenario;
  LoadScenarioFile(scenario, "start");
  ASSERT_EQ(scenario.lines.size(), 5u);
  EXPECT_EQ(scenario.lines[0], "");
  EXPECT_EQ(scenario.lines[1], "");
  EXPECT_EQ(scenario.lines[2], "");
  EXPECT_EQ(scenario.lines[3], "@a ; not a comment");
  EXPECT_EQ(scenario.lines[4], "  @b");  // kept as read; CurrentLine skips the blanks
}

TEST_F(Load, MissingFileNamesThePathUnderTheRunningLine) {
  SetErrorFile("scn/t/start.scn");
  gErrorLine = 7;
  Scenario scenario;
  std::string message = ErrorOf([&] { LoadScenarioFile(scenario, "nofile"); });
  EXPECT_EQ(message, InContext("scn/t/start.scn", 7, "ファイル \"scn/t/nofile.scn\" が開けません。"));
  EXPECT_EQ(Count("lbDestroyFile"), 0);  // nothing was opened, so nothing is closed
  EXPECT_EQ(host->captions.back(), "Orvane System");
}

TEST_F(Load, ReloadReplacesTheLines) {
  AddFile("scn/t/a.scn", {"@1", "@2", "@3"});
  AddFile("scn/t/b.scn", {"@x"});
  Scenario scenario;
  LoadScenarioFile(scenario, "a");
  Advance(scenario);
  LoadScenarioFile(scenario, "b");
  EXPECT_EQ(scenario.lines.size(), 1u);
  EXPECT_EQ(scenario.lineNumber, 1);
  EXPECT_STREQ(CurrentLine(scenario), "@x");
}

TEST_F(Load, AdvanceStopsPastTheLastLine) {
  AddFile("scn/t/a.scn", {"@1", "  @2"});
  Scenario scenario;
  EXPECT_TRUE(AtEnd(scenario));  // nothing loaded yet
  LoadScenarioFile(scenario, "a");
  EXPECT_FALSE(AtEnd(scenario));
  Advance(scenario);
  EXPECT_STREQ(CurrentLine(scenario), "@2");
  Advance(scenario);
  EXPECT_TRUE(AtEnd(scenario));
  EXPECT_STREQ(CurrentLine(scenario), "");
  Advance(scenario);
  EXPECT_EQ(scenario.lineNumber, 3);
  EXPECT_EQ(scenario.position, 2u);
}

TEST_F(Jumping, FileAloneStartsAtItsFirstLine) {
  AddFile("scn/t/start.scn", {"@first", ":x"});
  Scenario scenario;
  Jump(scenario, "start:");
  EXPECT_EQ(scenario.lineNumber, 1);
  EXPECT_STREQ(CurrentLine(scenario), "@first");
}

TEST_F(Jumping, StopsOnTheLabelLineCountingComments) {
  AddFile("scn/t/start.scn", {"; a", "; b", "@c", ":target", "@after"});
  Scenario scenario;
  Jump(scenario, "start:target");
  EXPECT_EQ(scenario.lineNumber, 4);
  EXPECT_STREQ(CurrentLine(scenario), ":target");
}

TEST_F(Jumping, LabelWithTrailingBlankDoesNotMatch) {
  AddFile("scn/t/start.scn", {":x ", ":x\t", ":x　", ":x ;note", ":x"});
  Scenario scenario;
  Jump(scenario, "start:x");
  EXPECT_EQ(scenario.lineNumber, 5);
}

TEST_F(Jumping, LabelMatchesWithoutCaseAfterLeadingBlanks) {
  AddFile("scn/t/start.scn", {":other", "  　:Select1"});
  Scenario scenario;
  Jump(scenario, "start:SELECT1");
  EXPECT_EQ(scenario.lineNumber, 2);
}

TEST_F(Jumping, LongerOrShorterLabelDoesNotMatch) {
  AddFile("scn/t/start.scn", {":xy", ":", ":x"});
  Scenario scenario;
  Jump(scenario, "start:x");
  EXPECT_EQ(scenario.lineNumber, 3);
}

TEST_F(Jumping, TwoByteLabelsMatchExactly) {
  AddFile("scn/t/start.scn", {":証人", ":証言"});
  Scenario scenario;
  Jump(scenario, Sjis("start:証言").c_str());
  EXPECT_EQ(scenario.lineNumber, 2);
}

TEST_F(Jumping, TrailBytesThatLookLikeLettersKeepTheirCase) {
  // The trail bytes of these two characters are 'A' (0x41) and 'a' (0x61).
  files["scn/t/start.scn"] = {":\x83\x41", ":\x83\x61"};
  Scenario scenario;
  Jump(scenario, "start:\x83\x61");
  EXPECT_EQ(scenario.lineNumber, 2);
  Jump(scenario, "\x83\x41");
  EXPECT_EQ(scenario.lineNumber, 1);
  EXPECT_THROW(Jump(scenario, "\x83\x42"), DExceptGame);
}

TEST_F(Jumping, FirstOfTwoEqualLabelsWins) {
  AddFile("scn/t/start.scn", {"@a", ":x", "@b", ":X"});
  Scenario scenario;
  Jump(scenario, "start:x");
  EXPECT_EQ(scenario.lineNumber, 2);
}

TEST_F(Jumping, LabelWithinTheLoadedFileDoesNotReload) {
  AddFile("scn/t/start.scn", {":a", "@x", ":b"});
  Scenario scenario;
  Jump(scenario, "start:");
  Jump(scenario, "b");
  EXPECT_EQ(scenario.lineNumber, 3);
  Jump(scenario, "a");
  EXPECT_EQ(scenario.lineNumber, 1);
  EXPECT_EQ(Count("lbCreateFile"), 1);
}

TEST_F(Jumping, NamingTheLoadedFileReloadsIt) {
  AddFile("scn/t/start.scn", {":a"});
  Scenario scenario;
  Jump(scenario, "start:");
  Jump(scenario, "start:a");
  EXPECT_EQ(Count("lbCreateFile"), 2);
}

TEST_F(Jumping, MissingLabelIsReportedWithTheJumpingLine) {
  AddFile("scn/t/start.scn", {":a"});
  SetErrorFile("scn/t/caller.scn");
  gErrorLine = 12;
  Scenario scenario;
  std::string message = ErrorOf([&] { Jump(scenario, "start:nowhere"); });
  EXPECT_EQ(message, InContext("scn/t/caller.scn", 12, "ジャンプ先ラベル \"nowhere\" が見つかりません。"));
}

TEST_F(Jumping, LabelInAnEmptyScenarioIsMissing) {
  Scenario scenario;
  std::string message = ErrorOf([&] { Jump(scenario, "x"); });
  EXPECT_EQ(message, InContext("", 0, "ジャンプ先ラベル \"x\" が見つかりません。"));
}
