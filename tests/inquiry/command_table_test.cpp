// The whole vocabulary once: a test game whose scenarios use every command of the table, run
// to its end without a single message, so no command of the language is left unrecognised.
#include <algorithm>
#include <cctype>
#include <set>

#include "inquiry_fixture.h"
#include "script/commands.h"

namespace {

std::string Folded(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// The command names the game's scenario files use, letters folded.
std::set<std::string> CommandsUsedBy(const std::filesystem::path& folder) {
  std::set<std::string> used;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    if (entry.path().extension() != ".scn") continue;
    std::ifstream in(entry.path());
    for (std::string line; std::getline(in, line);) {
      const std::size_t at = line.find_first_not_of(" \t");
      if (at == std::string::npos || line[at] != '@') continue;
      used.insert(Folded(line.substr(at, line.find_first_of(" \t\r", at) - at)));
    }
  }
  return used;
}

}  // namespace

TEST_F(InquiryReplay, CommandTable_EveryCommandRunsInOneGame) {
  std::set<std::string> names;
  for (const CommandRow& row : CommandTable()) names.insert(Folded(row.name));
  EXPECT_EQ(names.size(), CommandTable().size()) << "a name appears twice";
  EXPECT_EQ(names.size(), 54u);

  const auto used =
      CommandsUsedBy(std::filesystem::path(TEST_GAMES_DIR) / "scenarios/scn/all_commands");
  for (const std::string& name : names) EXPECT_TRUE(used.count(name)) << name << " is not used";

  // The save question (no), the filed item and its message, the testimony, the
  // cross-examination (title, press, next), the record (present), and the closing pages.
  ASSERT_EQ(Play("all_commands", {"click 485 352", "click 400 300", "click 400 300",
                                  "click 400 300", "click 400 300", "click 400 300", "key Z",
                                  "key Right", "key Z", "click 400 300", "click 400 300",
                                  "click 400 300", "click 400 300"}),
            0);
  EXPECT_EQ(Boxes(), std::vector<std::string>{});
  const auto sounds = Sounds();
  ASSERT_FALSE(sounds.empty());
  EXPECT_EQ(sounds.back(), "sys/se/chime.wav");  // the last line before @exit ran
}
