// orvane check on whole games: every mistake of the mistakes game reported exactly once at
// its line, the bundled game clean, the test games clean except for the mistakes they make
// on purpose, and the same verdicts on a game packed into its archive.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "common/replay.h"

namespace fs = std::filesystem;

namespace {

const std::string kBin = ORVANE_BIN_DIR;
const std::string kGames = TEST_GAMES_DIR;

struct CheckRun {
  int status;
  std::string report;
};

CheckRun check(const std::string& arguments) {
  const fs::path out = fs::temp_directory_path() / ("orvane_check_" + std::to_string(getpid()));
  int status = exitStatusOf(kBin + "/orvane check " + arguments + " >" + out.string() +
                            " 2>/dev/null");
  CheckRun run{status, readFile(out)};
  fs::remove(out);
  return run;
}

}  // namespace

TEST(Check, MistakesGame_EveryMistakeReportedAtItsLine) {
  CheckRun run = check(kGames + "/check_mistakes");
  EXPECT_EQ(run.status, 1);
  if (std::getenv("ORVANE_UPDATE_GOLDEN")) std::ofstream(CHECK_GOLDEN) << run.report;
  EXPECT_EQ(run.report, readFile(CHECK_GOLDEN));
}

TEST(Check, BundledGame_CleanAsFolderAndAsArchive) {
  CheckRun folder = check("");
  EXPECT_EQ(folder.status, 0) << folder.report;
  EXPECT_EQ(folder.report.rfind("0 errors, 0 warnings in ", 0), 0u) << folder.report;

  const fs::path archive = fs::temp_directory_path() / ("orvane_pack_" + std::to_string(getpid()) + ".dat");
  ASSERT_EQ(exitStatusOf(kBin + "/orvane pack " + kBin + "/game " + archive.string() + " >/dev/null"), 0);
  CheckRun packed = check(archive.string());
  fs::remove(archive);
  EXPECT_EQ(packed.status, 0) << packed.report;
  EXPECT_EQ(packed.report, folder.report);
}

// The test games' scenario folders, each checked alone. Many of them make a mistake on
// purpose, to test the game's message for it, or end in an unknown command that shows in
// the transcript how far the game got; those must be reported (the line named here is the
// first the report gives). Mistakes only a running game can see (a life of 6, a motion of
// a sprite that is not there, a background pan before any background) pass the check.
TEST(Check, TestGames_CleanButForTheirDeliberateMistakes) {
  const std::map<std::string, std::string> reported = {
      {"bad_command", "start.scn:5"},        {"bad_option", "start.scn:3"},
      {"court_err_backset", "start.scn:1"},  {"court_err_hide", "start.scn:1"},
      {"court_err_position", "start.scn:1"}, {"court_err_show", "start.scn:2"},
      {"exit_rescode", "start.scn:2"},       {"goto_case", "start.scn:2"},
      {"jumps", "second.scn:3"},             {"labels", "start.scn:3"},
      {"life_bad_extra", "start.scn:1"},     {"life_bad_label", "start.scn:1"},
      {"life_bad_missing", "start.scn:1"},   {"life_bad_target", "start.scn:1"},
      {"message_bad_link", "start.scn:2"},   {"message_bad_tag", "start.scn:2"},
      {"message_bad_wait", "start.scn:2"},   {"message_case", "start.scn:6"},
      {"message_full", "start.scn:6"},       {"message_skip", "start.scn:6"},
      {"message_story", "start.scn:6"},      {"missing_file", "start.scn:2"},
      {"missing_label", "start.scn:4"},      {"motion_bad_pos", "move.mot:2"},
      {"motion_bad_rot", "turn.mot:2"},      {"motion_bad_size", "grow.mot:2"},
      {"motion_bad_statement", "spin.mot:3"}, {"motion_no_sprite", "half.mot:1"},
      {"motion_no_start", "bare.mot:2"},     {"return", "start.scn:3"},
      {"sound_bgm_unknown", "start.scn:2"},  {"sound_se", "start.scn:6"},
      {"story_text", "start.scn:3"},         {"timers_commands", "start.scn:7"},
  };
  const fs::path folders = fs::path(kGames) / "scenarios" / "scn";
  int checked = 0;
  for (const auto& entry : fs::directory_iterator(folders)) {
    const std::string name = entry.path().filename().string();
    // The court record's games play over the bundled game's pictures.
    if (name.rfind("rec_", 0) == 0) continue;
    CheckRun run = check("--scenario scn/" + name + " " + kGames + "/scenarios");
    auto expected = reported.find(name);
    if (expected == reported.end()) {
      EXPECT_EQ(run.status, 0) << name << ":\n" << run.report;
    } else {
      EXPECT_EQ(run.status, 1) << name;
      const std::string first = "scn/" + name + "/" + expected->second + ": ";
      EXPECT_NE(run.report.find(first), std::string::npos) << name << ":\n" << run.report;
    }
    ++checked;
  }
  EXPECT_GE(checked, 50);
  EXPECT_EQ(check(kGames + "/spr_anim").status, 0);
}

// The archive alone in an otherwise empty game folder plays an episode exactly as the folder
// does: the same transcript and the same last frame.
TEST(Pack, PackedGamePlaysAlikeWithTheFolderGone) {
  const fs::path dir = fs::temp_directory_path() / ("orvane_packed_" + std::to_string(getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir / "packed");
  ASSERT_EQ(exitStatusOf(kBin + "/orvane pack " + kBin + "/game " + (dir / "packed" / "derizi.dat").string() +
                         " >/dev/null"),
            0);
  std::ofstream(dir / "input.txt") << "click 400 300\nclick 400 300\nshot end\n";
  auto play = [&](const std::string& game, const std::string& name) {
    return exitStatusOf(kBin + "/orvane --headless --input " + (dir / "input.txt").string() +
                        " --transcript " + (dir / (name + ".txt")).string() + " --shots " +
                        (dir / name).string() + " --save-dir " + (dir / ("save_" + name)).string() +
                        " --scenario scn/kigae " + game + " >/dev/null 2>&1");
  };
  ASSERT_EQ(play(kBin + "/game", "folder"), 0);
  ASSERT_EQ(play((dir / "packed").string(), "archive"), 0);
  EXPECT_EQ(transcriptEvents((dir / "archive.txt").string()),
            transcriptEvents((dir / "folder.txt").string()));
  EXPECT_GT(transcriptEvents((dir / "folder.txt").string()).size(), 3u);
  EXPECT_EQ(readFile(dir / "archive" / "end.png"), readFile(dir / "folder" / "end.png"));
  EXPECT_FALSE(readFile(dir / "folder" / "end.png").empty());
  fs::remove_all(dir);
}
