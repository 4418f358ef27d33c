// Test folders, and reading what a headless replay left behind: the transcript's events
// (each line without its game time, or with it) and its message boxes, and the exit status
// of the command that ran orvane.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

// A folder of the running test's own, empty: <temp>/orvane_<area>_<pid>_<test's name>.
inline std::filesystem::path freshTestFolder(const std::string& area) {
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() /
      ("orvane_" + area + "_" + std::to_string(::getpid()) + "_" +
       ::testing::UnitTest::GetInstance()->current_test_info()->name());
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  return dir;
}

// A test with a fresh folder of its own, named after its suite and itself, taken away
// afterwards unless the test failed (so what it left can be looked at).
class FolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    dir = freshTestFolder(test->test_suite_name());
  }
  void TearDown() override {
    if (!HasFailure()) std::filesystem::remove_all(dir);
  }
  std::filesystem::path dir;
};

// A whole file's bytes; empty when it cannot be read.
inline std::string readFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

inline std::vector<std::string> transcriptEvents(const std::string& path) {
  std::ifstream in(path);
  std::vector<std::string> events;
  for (std::string line; std::getline(in, line);) {
    std::size_t space = line.find(' ');
    events.push_back(space == std::string::npos ? line : line.substr(space + 1));
  }
  return events;
}

// A transcript line with its game time.
struct TimedEvent {
  long time;
  std::string text;
};

inline std::vector<TimedEvent> timedTranscriptEvents(const std::string& path) {
  std::ifstream in(path);
  std::vector<TimedEvent> events;
  for (std::string line; std::getline(in, line);) {
    std::size_t space = line.find(' ');
    if (space == std::string::npos) continue;
    events.push_back({std::stol(line.substr(0, space)), line.substr(space + 1)});
  }
  return events;
}

// The message boxes of a transcript, "Orvane System: " and all.
inline std::vector<std::string> transcriptMessages(const std::string& path) {
  std::vector<std::string> out;
  for (const std::string& e : transcriptEvents(path))
    if (e.rfind("message ", 0) == 0) out.push_back(e.substr(8));
  return out;
}

// Runs a shell command; its exit status, or -1 when it did not exit normally.
inline int exitStatusOf(const std::string& command) {
  int raw = std::system(command.c_str());
  return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

// Plays the game folder `game` headless with `actions` as its input script and
// `arguments` besides (a scenario, say), everything it writes (input, transcript, shots,
// saves) in the folder `run`; the exit status of `orvane`, the launcher's path.
inline int playHeadlessInto(const std::string& orvane, const std::filesystem::path& run,
                            const std::string& game, const std::vector<std::string>& actions,
                            const std::string& arguments = "") {
  std::filesystem::create_directories(run);
  {
    std::ofstream input(run / "input.txt");
    for (const std::string& a : actions) input << a << '\n';
  }
  return exitStatusOf(orvane + " --headless --input " + (run / "input.txt").string() +
                      " --transcript " + (run / "transcript.txt").string() + " --shots " +
                      run.string() + " --save-dir " + run.string() + " " + arguments + " " +
                      game + " >/dev/null 2>&1");
}
