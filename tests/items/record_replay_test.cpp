// The court record as the player meets it, played headless through orvane: the test games'
// scenarios over the bundled game's pictures and sounds, checked by the transcript (what was
// played, which label a choice led to) and by golden frames of the record and the item panel.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/golden.h"
#include "common/replay.h"

namespace fs = std::filesystem;

namespace {

class RecordReplay : public ::testing::Test {
 protected:
  // A game folder of the bundled game's system pictures and the test games' scenarios, hard
  // linked rather than copied (the runtime's file system follows no symbolic links).
  void SetUp() override {
    dir = fs::temp_directory_path() /
          ("orvane_record_" + std::to_string(getpid()) + "_" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir);
    fs::create_directories(dir / "game");
    const fs::path bundled = fs::path(ORVANE_BIN_DIR) / "game";
    const auto link = fs::copy_options::recursive | fs::copy_options::create_hard_links;
    for (const char* part : {"sys", "cursor0.spr", "cursor1.spr"})
      fs::copy(bundled / part, dir / "game" / part, link);
    fs::copy(fs::path(TEST_GAMES_DIR) / "scenarios" / "scn", dir / "game" / "scn", link);
    std::ofstream(dir / "lsan.supp") << "leak:libfontconfig.so\n";
  }
  void TearDown() override {
    if (!HasFailure()) fs::remove_all(dir);
  }

  // Plays scn/<folder> with the player's actions and frames kept at the given game times.
  int Play(const std::string& folder, const std::vector<std::string>& actions,
           const std::vector<std::string>& shotsAt = {}) {
    {
      std::ofstream input(dir / "input.txt");
      for (const std::string& action : actions) input << action << '\n';
    }
    std::string command = "LSAN_OPTIONS=suppressions=" + (dir / "lsan.supp").string() + " " +
                          std::string(ORVANE_BIN_DIR) + "/orvane --headless --input " +
                          (dir / "input.txt").string() + " --transcript " + Transcript() +
                          " --shots " + dir.string() + " --save-dir " + dir.string() +
                          " --scenario scn/" + folder;
    for (const std::string& at : shotsAt) command += " --shot-at " + at;
    return exitStatusOf(command + " " + (dir / "game").string() + " >/dev/null 2>&1");
  }

  std::string Transcript() const { return (dir / "transcript.txt").string(); }
  std::vector<std::string> Effects() const {
    std::vector<std::string> out;
    for (const std::string& e : transcriptEvents(Transcript()))
      if (e.rfind("se ", 0) == 0) out.push_back(e.substr(3));
    return out;
  }
  // The one message box, which names the probe command the run arrived at.
  std::string ProbeReached() const {
    const std::vector<std::string> boxes = transcriptMessages(Transcript());
    if (boxes.size() != 1) return "<" + std::to_string(boxes.size()) + " boxes>";
    const std::size_t at = boxes[0].find("@reached_");
    if (at == std::string::npos) return boxes[0];
    return boxes[0].substr(at + 1, boxes[0].find("が", at) - at - 1);
  }
  // Game time of the first transcript event equal to `event`, or -1.
  long TimeOf(const std::string& event) const {
    std::ifstream in(Transcript());
    for (std::string line; std::getline(in, line);) {
      const std::size_t space = line.find(' ');
      if (space != std::string::npos && line.substr(space + 1) == event) return std::stol(line);
    }
    return -1;
  }

  std::vector<uint32_t> Shot(const std::string& name) const {
    return loadShot((dir / (name + ".png")).string());
  }

  fs::path dir;
};

constexpr const char* kSwitch = "sys/se/アイテム切り替え.wav";
constexpr const char* kPresent = "sys/se/アイテム決定.wav";
constexpr const char* kPageClick = "sys/se/文字クリック.wav";

}  // namespace

TEST_F(RecordReplay, RecordButton_BrowsesOwnedEvidenceWithWrapAndContinuesAtItsLabel) {
  ASSERT_EQ(Play("rec_browse", {"shot page", "click 720 44",  // the record button
                                "shot first", "key Left", "shot seventh", "key Right",
                                "shot again", "key X"}),
            0);
  EXPECT_EQ(ProbeReached(), "reached_after");
  // Left from 1 wraps to 7 over the unowned 2 and the profile 5; right from 7 wraps to 1.
  // Closing plays nothing of its own; the page it was opened from ends with its click.
  EXPECT_EQ(Effects(), (std::vector<std::string>{kSwitch, kSwitch, kPageClick}));
  EXPECT_TRUE(matchesGolden(Shot("page"), "record_page_button"));
  // Opened by its button: closing allowed, presenting not, so "left" stands at 601.
  EXPECT_TRUE(matchesGolden(Shot("seventh"), "record_evidence_seventh"));
  EXPECT_TRUE(matchesGolden(Shot("first"), "record_evidence_first"));
  EXPECT_EQ(Shot("again"), Shot("first"));
}

TEST_F(RecordReplay, Present_ProfilesOnlyThenNoProfileThenEvidenceWithTheExclamation) {
  ASSERT_EQ(Play("rec_present", {"shot profiles", "key Z",  // presents the profile 5
                                 "key Right", "shot evidence", "key Z"}),  // 1 -> 4
            0);
  EXPECT_EQ(ProbeReached(), "reached_found");
  // The second choice, with no profile owned, closed at once on its miss label: only two
  // entries were presented, the evidence followed by the shout and the lawyer's voice.
  EXPECT_EQ(Effects(), (std::vector<std::string>{kPresent, kSwitch, kPresent,
                                                 "sys/se/異議あり.wav",
                                                 "sys/voice/tsukioka_kurae.wav"}));
  // Presenting only: "left" at 537; on the profiles with no evidence tab to switch to.
  EXPECT_TRUE(matchesGolden(Shot("profiles"), "record_profiles_only"));
  EXPECT_TRUE(matchesGolden(Shot("evidence"), "record_present_evidence"));
}

TEST_F(RecordReplay, Announce_JingleWhileThePanelSlidesInAndOut) {
  // The panel slides in from the scene's first frame at 0 ms and out from the click that
  // ends its page; a first run finds when that click came.
  const std::vector<std::string> actions = {"wait 500", "key Return"};
  ASSERT_EQ(Play("rec_announce", actions), 0);
  EXPECT_EQ(Effects(), (std::vector<std::string>{"sys/se/ジングル.wav", kPageClick}));
  EXPECT_EQ(ProbeReached(), "reached_after");
  const long slideOut = TimeOf(std::string("se ") + kPageClick);
  ASSERT_GT(slideOut, 100);

  std::vector<std::string> at;
  for (long ms : {0L, 50L, 100L}) {
    at.push_back(std::to_string(ms) + ":in" + std::to_string(ms));
    at.push_back(std::to_string(slideOut + ms) + ":out" + std::to_string(ms));
  }
  ASSERT_EQ(Play("rec_announce", actions, at), 0);
  // The name plate steps aside while the panel is over the court.
  EXPECT_TRUE(matchesGolden(Shot("in0"), "panel_in_0"));
  EXPECT_TRUE(matchesGolden(Shot("in50"), "panel_in_50"));
  EXPECT_TRUE(matchesGolden(Shot("in100"), "panel_in_100"));
  EXPECT_TRUE(matchesGolden(Shot("out50"), "panel_out_50"));
  EXPECT_EQ(Shot("out100"), Shot("in0"));
}
