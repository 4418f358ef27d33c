// The bundled game as a player meets it: each episode played from the title to its ending by
// its input script (saving, going back to the title and continuing once on the way), the
// clear count rising to 3, the lost case ending at the menu's game-over page, the archive
// playing like the folder, and every command and tag of the scenario language used.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "common/golden.h"
#include "common/replay.h"
#include "script/commands.h"

namespace fs = std::filesystem;

namespace {

struct Played {
  int status = -1;
  std::vector<std::string> events;
  int count(const std::string& event) const {
    return int(std::count(events.begin(), events.end(), event));
  }
};

class Episodes : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() / ("orvane_episodes_" + std::to_string(getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
  }
  void TearDown() override { fs::remove_all(dir); }

  // Plays one replay script against a game folder, keeping progress in this test's folder.
  Played play(const std::string& script, const std::string& game = ORVANE_BIN_DIR "/game") {
    const fs::path transcript = dir / (script + ".txt");
    Played run;
    run.status = exitStatusOf(std::string(ORVANE_BIN_DIR) + "/orvane --headless --input " +
                              REPLAYS_DIR + "/" + script + ".txt --transcript " +
                              transcript.string() + " --shots " + (dir / "shots").string() +
                              " --save-dir " + (dir / "save").string() + " " + game +
                              " >/dev/null 2>&1");
    run.events = transcriptEvents(transcript.string());
    return run;
  }

  // A key of section "save" of the progress file, or "<missing>".
  std::string progress(const std::string& key) const {
    std::ifstream in(dir / "save" / "derizi1.sav");
    for (std::string line; std::getline(in, line);) {
      if (!line.empty() && line.back() == '\r') line.pop_back();  // a profile file's line end
      if (line.rfind(key + "=", 0) == 0) return line.substr(key.size() + 1);
    }
    return "<missing>";
  }

  fs::path dir;
};

std::vector<std::string> messages(const Played& run) {
  std::vector<std::string> out;
  for (const auto& e : run.events)
    if (e.rfind("message ", 0) == 0) out.push_back(e);
  return out;
}

TEST_F(Episodes, ThreeEpisodesInTurnClearThree) {
  struct Expect {
    const char* script;
    const char* folder;
    int shouts, lifeLost;
  };
  // Shouts: presses, presentations, the record's kurae and the shouts the scripts write.
  int cleared = 0;
  for (const Expect& e : {Expect{"maid", "scn/maid", 5, 1}, Expect{"kigae", "scn/kigae", 3, 0},
                          Expect{"tabako", "scn/tabako", 4, 1}}) {
    SCOPED_TRACE(e.script);
    Played run = play(e.script);
    ASSERT_EQ(run.status, 0);
    EXPECT_EQ(messages(run), std::vector<std::string>{});
    EXPECT_EQ(run.count("se sys/se/異議あり.wav"), e.shouts);
    EXPECT_EQ(run.count("se sys/se/HP減少.wav"), e.lifeLost);
    EXPECT_EQ(run.count("se sys/se/判決.wav"), 2);  // the two halves of the verdict
    EXPECT_EQ(progress("clear"), std::to_string(++cleared));
    // Saved halfway, then continued from the title: the position is still the saved one.
    EXPECT_EQ(progress("pt_scn"), e.folder);
    EXPECT_EQ(progress("pt_target"), "start:court");
    EXPECT_EQ(run.events.back(), "exit");
  }
  EXPECT_EQ(cleared, 3);
}

TEST_F(Episodes, FiveWrongPresentationsLoseTheFirstCase) {
  Played run = play("gameover");
  ASSERT_EQ(run.status, 0);
  EXPECT_EQ(messages(run), std::vector<std::string>{});
  EXPECT_EQ(run.count("se sys/se/HP減少.wav"), 5);
  EXPECT_EQ(run.count("se sys/se/判決.wav"), 2);
  EXPECT_EQ(progress("clear"), "<missing>");
  EXPECT_EQ(progress("pt_scn"), "<missing>");  // the save was declined
  // The menu's game-over page was read, and the title came back with two buttons only.
  std::vector<uint32_t> frame;
  int w = 0, h = 0;
  ASSERT_TRUE(loadPng((dir / "shots" / "end.png").string(), frame, w, h));
  EXPECT_TRUE(matchesGolden(frame, "title_begin_exit"));
}

TEST_F(Episodes, TheArchiveAlonePlaysLikeTheFolder) {
  ASSERT_TRUE(fs::is_regular_file(fs::path(PACKED_GAME_DIR) / "derizi.dat"));
  ASSERT_EQ(fs::directory_iterator(PACKED_GAME_DIR)->path().filename(), "derizi.dat");
  Played folder = play("maid");
  fs::remove_all(dir / "save");
  Played packed = play("maid", PACKED_GAME_DIR);
  ASSERT_EQ(packed.status, 0);
  EXPECT_EQ(packed.events, folder.events);
  EXPECT_EQ(progress("clear"), "1");
}

// `make play` without a display: one line naming the folder, status 0, and in that folder the
// five pictures and the transcript of the first episode played to its end.
TEST_F(Episodes, PlayWithoutADisplayLeavesPicturesAndTranscript) {
  const fs::path out = dir / "play";
  const fs::path said = dir / "said.txt";
  ASSERT_EQ(exitStatusOf("env -u DISPLAY -u WAYLAND_DISPLAY ORVANE_PLAY_DIR=" + out.string() +
                         " " + REPLAYS_DIR + "/../../scripts/play " + ORVANE_BIN_DIR + "/.. >" +
                         said.string() + " 2>&1"),
            0);
  std::ifstream in(said);
  std::stringstream buffer;
  buffer << in.rdbuf();
  const std::string text = buffer.str();
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1) << text;
  EXPECT_NE(text.find(out.string()), std::string::npos) << text;
  for (const char* shot : {"title", "cross_examination", "court_record", "exclamation", "verdict"})
    EXPECT_TRUE(fs::is_regular_file(out / (std::string(shot) + ".png"))) << shot;
  auto events = transcriptEvents((out / "transcript.txt").string());
  EXPECT_NE(std::find(events.begin(), events.end(), "shot verdict"), events.end());
  EXPECT_EQ(events.back(), "exit");
}

// The scenario sources of the bundled game, comments left out.
std::vector<std::string> scenarioLines() {
  std::vector<std::string> lines;
  for (const auto& entry : fs::recursive_directory_iterator(GAME_SOURCE_DIR "/scn")) {
    if (entry.path().extension() != ".scn") continue;
    std::ifstream in(entry.path());
    for (std::string line; std::getline(in, line);)
      if (!line.empty() && line[0] != ';') lines.push_back(line);
  }
  return lines;
}

TEST(BundledScenarios, UseEveryCommandAndEveryTag) {
  std::set<std::string> commands, tags;
  bool ruby = false;
  static const std::regex kTag(R"(\[(/?[A-Za-z]+))");
  for (const std::string& line : scenarioLines()) {
    if (line[0] == '@') {
      commands.insert(line.substr(0, line.find_first_of(" \t")));
      continue;
    }
    for (std::sregex_iterator m(line.begin(), line.end(), kTag), end; m != end; ++m)
      tags.insert((*m)[1]);
    ruby = ruby || line.find('{') != std::string::npos;
  }
  for (const CommandRow& row : CommandTable())
    EXPECT_TRUE(commands.count(row.name)) << row.name << " is used nowhere in the bundled game";
  for (const char* tag : {"br", "np", "w", "b", "/b", "i", "/i", "c", "cr", "cg", "cb", "cy",
                          "link", "/link"})
    EXPECT_TRUE(tags.count(tag)) << "[" << tag << "] is used nowhere in the bundled game";
  EXPECT_TRUE(ruby) << "no ruby text in the bundled game";
}

}  // namespace
