// start and the debug run: the scenario named under [Debug] ScnName in the debug settings
// file beside the executable runs from start.scn; its errors end the game quietly for the
// host; without a name the game runs from its logo; running out of memory is reported.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <new>
#include <string>

#include "game/build_constants.h"
#include "game/system.h"
#include "scenario_fixture.h"

namespace fs = std::filesystem;

namespace {

class DebugRun : public ScenarioTest {
 protected:
  void SetUp() override {
    ScenarioTest::SetUp();
    dir = fs::temp_directory_path() /
          ("orvane_debug_run_" + std::to_string(getpid()) + "_" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir);
    fs::create_directories(dir);
    compatSetModuleFileName((dir / "orvane.exe").c_str());
    host->results["lbCheckSystemName"] = 1;
    // Start-up loads the standard wipes' mask.
    host->results["lbtsLoadWipe"] = 1;
    // and builds the black system background: an image and a sprite.
    host->results["lbtsCreateImage"] = 1;
    host->results["lbtsCreateSprite"] = 1;
    // The start-up text layers open their fonts.
    host->results["lbCreateChar"] = 1;
    // Every run starts by loading the blank page cursor.
    AddFile("sys/cursor_blank.spr", {"@sprite file=\"cursor_blank.png\""});
    host->results["lbtsLoadImage"] = 1;
  }
  void TearDown() override {
    compatSetModuleFileName(nullptr);
    fs::remove_all(dir);
    ScenarioTest::TearDown();
  }
  void WriteSettings(const std::string& text) {
    std::ofstream(dir / (std::string(kBuild.saveName) + ".ini")) << text;
  }
  fs::path dir;
};

}  // namespace

TEST_F(DebugRun, SettingsFilesLieBesideTheExecutable) {
  char path[264];
  DebugSettingsPath(path);
  EXPECT_EQ(std::string(path), (dir / (std::string(kBuild.saveName) + ".ini")).string());
  ProgressFilePath(path);
  EXPECT_EQ(std::string(path), (dir / (std::string(kBuild.saveName) + ".sav")).string());
}

TEST_F(DebugRun, RunsStartOfTheNamedFolderAndEnds) {
  WriteSettings("[debug]\r\nscnname=scn/dbg\r\n");
  AddFile("scn/dbg/start.scn", {"; debug", "@goto target=next:", "@never"});
  AddFile("scn/dbg/next.scn", {"@exit rescode=done"});
  EXPECT_EQ(start(0), 1);
  EXPECT_TRUE(host->messages.empty());
  EXPECT_EQ(Count("lbCreateFile(\"scn/dbg/start.scn\",1)"), 1);
  EXPECT_EQ(Count("lbCreateFile(\"scn/dbg/next.scn\",1)"), 1);
  EXPECT_EQ(CurrentScenario(), nullptr);
}

TEST_F(DebugRun, ScenarioErrorShowsItsMessageAndStartStillReturns) {
  WriteSettings("[Debug]\nScnName=scn/dbg\n");
  AddFile("scn/dbg/start.scn", {"; c", "@goto target=nowhere"});
  EXPECT_EQ(start(0), 1);
  ASSERT_EQ(host->messages.size(), 1u);
  EXPECT_EQ(host->messages[0],
            InContext("scn/dbg/start.scn", 2, "ジャンプ先ラベル \"nowhere\" が見つかりません。"));
}

TEST_F(DebugRun, MissingFolderNamesItsStartFile) {
  WriteSettings("[Debug]\nScnName=scn/none\n");
  EXPECT_EQ(start(0), 1);
  ASSERT_EQ(host->messages.size(), 1u);
  EXPECT_NE(host->messages[0].find(Sjis("ファイル \"scn/none/start.scn\" が開けません。")),
            std::string::npos);
}

// Without a debug scenario the game itself runs: its logo is the first thing it opens (and
// this host has none, which ends the game there).
TEST_F(DebugRun, EmptyNameRunsTheGameFromItsLogo) {
  WriteSettings("[Debug]\nScnName=\n");
  EXPECT_EQ(start(0), 1);
  EXPECT_EQ(Count("lbCreateFile(\"scn/"), 0);
  EXPECT_EQ(Count("lbCreateFile(\"sys/logo.spr\""), 1);
}

TEST_F(DebugRun, MissingSettingsFileRunsTheGameFromItsLogo) {
  EXPECT_EQ(start(0), 1);
  EXPECT_EQ(Count("lbCreateFile(\"scn/"), 0);
  EXPECT_EQ(Count("lbCreateFile(\"sys/logo.spr\""), 1);
}

TEST_F(DebugRun, OutOfMemoryIsReportedAndTheGameEnds) {
  WriteSettings("[Debug]\nScnName=scn/dbg\n");
  gHost.lbCreateFile = [](const char*, int) -> LbFile { throw std::bad_alloc(); };
  EXPECT_EQ(start(0), 1);
  ASSERT_EQ(host->messages.size(), 1u);
  EXPECT_EQ(host->messages[0], Sjis("メモリが不足しています。\n"));
  EXPECT_EQ(host->captions[0], "Orvane System");
}
