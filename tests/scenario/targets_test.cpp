// Targets and file paths: which file and label a target names, and where a file of the
// scenario folder is read from.
#include <gtest/gtest.h>

#include <string>

#include "scenario_fixture.h"

namespace {

struct Parts {
  std::string file, label;
};

Parts Split(const std::string& target) {
  char file[kScenarioTextSize];
  char label[kScenarioTextSize];
  SplitTarget(target.c_str(), file, label);
  return {file, label};
}

std::string PathOf(const std::string& folder, const std::string& file) {
  char out[kScenarioTextSize];
  ScenarioFilePath(folder.c_str(), file.c_str(), out);
  return out;
}

}  // namespace

TEST(Target, FileAndLabelEitherSideOfTheColon) {
  EXPECT_EQ(Split("start:nolife").file, "start");
  EXPECT_EQ(Split("start:nolife").label, "nolife");
  EXPECT_EQ(Split("start:").file, "start");
  EXPECT_EQ(Split("start:").label, "");
  EXPECT_EQ(Split(":x").file, "");
  EXPECT_EQ(Split(":x").label, "x");
}

TEST(Target, WithoutColonIsALabelAlone) {
  EXPECT_EQ(Split("select1").file, "");
  EXPECT_EQ(Split("select1").label, "select1");
  EXPECT_EQ(Split("").label, "");
}

TEST(Target, MoreColonsTakeTheFileBetweenTheLastTwo) {
  EXPECT_EQ(Split("a:b:c").file, "b");
  EXPECT_EQ(Split("a:b:c").label, "c");
  EXPECT_EQ(Split("a::c").file, "");
  EXPECT_EQ(Split("a::c").label, "c");
  EXPECT_EQ(Split("a:b:").file, "b");
  EXPECT_EQ(Split("a:b:").label, "");
}

TEST(Target, EachPartIsCutTo263BytesOnWholeCharacters) {
  std::string longFile(300, 'f');
  EXPECT_EQ(Split(longFile + ":x").file, std::string(263, 'f'));
  EXPECT_EQ(Split("f:" + longFile).label, std::string(263, 'f'));
  // A two-byte character straddling byte 263 goes whole.
  std::string straddling = std::string(262, 'a') + "\x82\xa0" + "b";
  EXPECT_EQ(Split(straddling + ":x").file, std::string(262, 'a'));
  EXPECT_EQ(Split("f:" + straddling).label, std::string(262, 'a'));
}

TEST(Target, TwoByteNamesSplitIntact) {
  std::string file = Sjis("尋問"), label = Sjis("証言");
  EXPECT_EQ(Split(file + ":" + label).file, file);
  EXPECT_EQ(Split(file + ":" + label).label, label);
}

TEST(ScenarioPath, FolderSlashNameAndExtension) {
  EXPECT_EQ(PathOf("scn/menu1", "start"), "scn/menu1/start.scn");
  EXPECT_EQ(PathOf("scn/menu1/", "start"), "scn/menu1/start.scn");
  EXPECT_EQ(PathOf("scn\\menu1\\", "start"), "scn\\menu1\\start.scn");
}

TEST(ScenarioPath, TrailByteOfTheFolderIsNoSeparator) {
  // 0x5C, the backslash, is the trail byte of this character: the folder still needs a `/`.
  std::string folder = "scn/" + Sjis("表");
  ASSERT_EQ(folder.back(), '\\');
  EXPECT_EQ(PathOf(folder, "start"), folder + "/start.scn");
}

TEST(ScenarioPath, CutTo263Bytes) {
  std::string folder(260, 'd');
  EXPECT_EQ(PathOf(folder, "start"), folder + "/st");
  EXPECT_EQ(PathOf(folder, "start").size(), 263u);
}

using JumpWithDefault = ScenarioTest;

TEST_F(JumpWithDefault, LabelAloneIsLookedUpInTheDefaultFile) {
  AddFile("scn/t/main.scn", {"@one", ":x", "@two"});
  Scenario scenario;
  JumpWithDefaultFile(scenario, "x", "main");
  EXPECT_STREQ(scenario.path, "scn/t/main.scn");
  EXPECT_EQ(scenario.lineNumber, 2);
  EXPECT_STREQ(CurrentLine(scenario), ":x");
}

TEST_F(JumpWithDefault, EmptyFilePartTakesTheDefaultToo) {
  AddFile("scn/t/main.scn", {":x"});
  Scenario scenario;
  JumpWithDefaultFile(scenario, ":x", "main");
  EXPECT_STREQ(scenario.path, "scn/t/main.scn");
}

TEST_F(JumpWithDefault, NamedFileWins) {
  AddFile("scn/t/main.scn", {":x"});
  AddFile("scn/t/other.scn", {"", ":x"});
  Scenario scenario;
  JumpWithDefaultFile(scenario, "other:x", "main");
  EXPECT_STREQ(scenario.path, "scn/t/other.scn");
  EXPECT_EQ(scenario.lineNumber, 2);
  EXPECT_EQ(Count("lbCreateFile(\"scn/t/main.scn\""), 0);
}
