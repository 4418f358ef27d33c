// The replay fixture of the game flow tests.
#include "title/flow_fixture.h"

#include "common/replay.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "game/build_constants.h"

namespace fs = std::filesystem;

void FlowTest::SetUp() {
  dir = freshTestFolder("flow");
  fs::create_directories(dir / "save");
}

void FlowTest::TearDown() {
  if (!HasFailure()) fs::remove_all(dir);
}

void FlowTest::MakeGame(const std::map<std::string, std::string>& scenarios) {
  const fs::path bundled = fs::path(ORVANE_BIN_DIR) / "game";
  gameDir = dir / "game";
  fs::create_directories(gameDir);
  fs::copy(bundled / "sys", gameDir / "sys", fs::copy_options::recursive);
  for (const char* cursor : {"cursor0.spr", "cursor1.spr"}) fs::copy(bundled / cursor, gameDir / cursor);
  for (const auto& [path, text] : scenarios) {
    fs::path file = gameDir / path;
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << text;
  }
}

int FlowTest::Play(const std::vector<std::string>& actions, const std::string& extra,
                   const std::string& game) {
  {
    std::ofstream input(dir / "input.txt");
    for (const std::string& action : actions) input << action << '\n';
  }
  fs::remove(dir / "transcript.txt");
  std::string command = std::string(ORVANE_BIN_DIR) + "/orvane --headless --save-dir " +
                        (dir / "save").string() + " --input " + (dir / "input.txt").string() +
                        " --transcript " + (dir / "transcript.txt").string() + " --shots " +
                        dir.string() + " " + extra + " " +
                        (game.empty() ? gameDir.string() : game) + " >/dev/null 2>&1";
  int raw = std::system(command.c_str());
  return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

static fs::path progressFile(const fs::path& dir) {
  return dir / "save" / (std::string(kBuild.saveName) + ".sav");
}

void FlowTest::WriteProgress(const std::string& text) {
  std::ofstream(progressFile(dir), std::ios::binary) << text;
}

std::string FlowTest::ProgressText() const {
  std::ifstream in(progressFile(dir), std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string FlowTest::ProgressValue(const std::string& key) const {
  std::istringstream in(ProgressText());
  bool inSave = false;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty() && line[0] == '[') {
      inSave = line == "[save]";
    } else if (inSave && line.rfind(key + "=", 0) == 0) {
      return line.substr(key.size() + 1);
    }
  }
  return "<missing>";
}

std::vector<std::string> FlowTest::Events() const {
  std::ifstream in(dir / "transcript.txt");
  std::vector<std::string> events;
  for (std::string line; std::getline(in, line);) {
    std::size_t space = line.find(' ');
    events.push_back(space == std::string::npos ? line : line.substr(space + 1));
  }
  return events;
}

std::vector<std::string> FlowTest::Messages() const {
  std::vector<std::string> out;
  for (const std::string& e : Events())
    if (e.rfind("message ", 0) == 0) out.push_back(e.substr(8));
  return out;
}

int FlowTest::Count(const std::string& event) const {
  int n = 0;
  for (const std::string& e : Events()) n += e == event;
  return n;
}

std::string ProbeBox(const std::string& file, int line, const std::string& command) {
  return "Orvane System: ファイル \"" + file + "\"\\n行数 " + std::to_string(line) +
         "\\n\\nコマンド" + command + "が認識できません。";
}
