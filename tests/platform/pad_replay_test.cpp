// Gamepad buttons in replays drive the game exactly as the keys they stand for: the same
// actions played once with keys and once with pad buttons in their place leave the same
// transcript (but for the input lines) and the same frames, in a cross-examination, in the
// bundled game's court record and while text is skipped.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "common/golden.h"
#include "common/replay.h"

namespace fs = std::filesystem;

namespace {

class PadReplay : public FolderTest {
 protected:

  // The test games' scenarios over the bundled game's system pictures, hard linked (the
  // runtime follows no symbolic links).
  fs::path BundledRecordGame() {
    const fs::path game = dir / "game", bundled = fs::path(ORVANE_BIN_DIR) / "game";
    const auto link = fs::copy_options::recursive | fs::copy_options::create_hard_links;
    fs::create_directories(game);
    for (const char* part : {"sys", "cursor0.spr", "cursor1.spr"})
      fs::copy(bundled / part, game / part, link);
    fs::copy(fs::path(TEST_GAMES_DIR) / "scenarios" / "scn", game / "scn", link);
    return game;
  }

  // Plays scn/<folder> as run `name`; the transcript's lines, times and all, without the
  // input lines (which name the keys or buttons).
  std::vector<std::string> Play(const std::string& name, const fs::path& game,
                                const std::string& folder, const std::vector<std::string>& actions) {
    const fs::path run = dir / name;
    const std::string transcript = (run / "transcript.txt").string();
    EXPECT_EQ(playHeadlessInto(std::string(ORVANE_BIN_DIR) + "/orvane", run, game.string(),
                               actions, "--scenario scn/" + folder),
              0)
        << name;
    std::vector<std::string> lines;
    std::ifstream in(transcript);
    for (std::string line; std::getline(in, line);)
      if (line.find(" input ") == std::string::npos) lines.push_back(line);
    return lines;
  }

  // Plays the key actions, then the same with each key a pad button stands for replaced by
  // that button, and expects the same events at the same times and the same shots.
  std::vector<std::string> ExpectPadsPlayAsKeys(const fs::path& game, const std::string& folder,
                                                const std::vector<std::string>& keyActions) {
    static const std::map<std::string, std::string> kPadFor = {
        {"key Return", "pad a"},   {"key Escape", "pad b"},        {"key Z", "pad x"},
        {"key X", "pad y"},        {"key Up", "pad up"},           {"key Down", "pad down"},
        {"key Left", "pad left"},  {"key Right", "pad right"},     {"hold LCtrl", "pad hold shoulder"},
        {"release LCtrl", "pad release shoulder"}};
    std::vector<std::string> padActions, shots;
    int replaced = 0;
    for (const std::string& a : keyActions) {
      auto pad = kPadFor.find(a);
      replaced += pad != kPadFor.end();
      padActions.push_back(pad != kPadFor.end() ? pad->second : a);
      if (a.rfind("shot ", 0) == 0) shots.push_back(a.substr(5));
    }
    EXPECT_GT(replaced, 0);
    const std::vector<std::string> withKeys = Play("keys", game, folder, keyActions);
    EXPECT_EQ(Play("pads", game, folder, padActions), withKeys);
    for (const std::string& shot : shots) {
      std::vector<uint32_t> a, b;
      int w = 0, h = 0;
      EXPECT_TRUE(loadPng((dir / "keys" / (shot + ".png")).string(), a, w, h)) << shot;
      EXPECT_TRUE(loadPng((dir / "pads" / (shot + ".png")).string(), b, w, h)) << shot;
      EXPECT_TRUE(!a.empty() && a == b) << "the frames of shot " << shot << " differ";
    }
    return withKeys;
  }

  static bool Has(const std::vector<std::string>& lines, const std::string& part) {
    for (const std::string& line : lines)
      if (line.find(part) != std::string::npos) return true;
    return false;
  }
};

}  // namespace

TEST_F(PadReplay, CrossExamination_PressPresentAndPagingAsTheKeysDo) {
  const auto lines = ExpectPadsPlayAsKeys(
      fs::path(TEST_GAMES_DIR) / "scenarios", "inq_cross",
      {"key Return", "shot s0", "key Z", "key Return", "shot s2", "key Z", "key Return",
       "key Left", "shot s1", "key Right", "key Right", "key Return", "key X", "key Z",
       "key Return", "shot missed", "key Right", "key Right", "key Right", "key Right",
       "key Return", "key Return"});
  EXPECT_TRUE(Has(lines, "bengo_matta")) << "a statement was pressed";
}

TEST_F(PadReplay, CourtRecord_BrowsingClosingAndPresentingAsTheKeysDo) {
  const fs::path game = BundledRecordGame();
  const auto browse = ExpectPadsPlayAsKeys(
      game, "rec_browse",
      {"shot page", "click 720 44", "shot first", "key Left", "shot seventh", "key Right", "key X"});
  EXPECT_TRUE(Has(browse, "@reached_after")) << "the record closed at its label";
  fs::remove_all(dir / "keys");
  fs::remove_all(dir / "pads");
  const auto present = ExpectPadsPlayAsKeys(
      game, "rec_present", {"shot profiles", "key Z", "key Right", "shot evidence", "key Z"});
  EXPECT_TRUE(Has(present, "@reached_found")) << "the evidence was presented";
}

TEST_F(PadReplay, ShoulderHeldSkipsTextAsCtrlDoes) {
  const auto lines =
      ExpectPadsPlayAsKeys(fs::path(TEST_GAMES_DIR) / "scenarios", "message_skip", {"hold LCtrl"});
  EXPECT_TRUE(Has(lines, "@done")) << "the pages were skipped";
}
