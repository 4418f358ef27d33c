// The launcher test fixture: a folder laid out as orvane's build (the launcher, the runtime,
// compat and the test game as the game plug-in, plus a game folder), commands run in it, and
// what they left.
#pragma once

#include <gtest/gtest.h>

#include "common/replay.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

struct Result {
  int status = -1;
  std::string err;
};

// A folder laid out as orvane's build: the launcher, the runtime, compat and the test
// game as the game plug-in, plus a game folder.
class Launcher : public ::testing::Test {
 protected:
  fs::path dir;

  void SetUp() override {
    dir = fs::temp_directory_path() /
          ("orvane_launcher_" + std::to_string(getpid()) + "_" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir);
    fs::create_directories(dir / "game");
    fs::path bin = ORVANE_BIN_DIR;
    for (const char* name : {"orvane", "libruntime.so", "libwincompat.so"})
      fs::copy_file(bin / name, dir / name);
    fs::copy_file(TEST_GAME_PATH, dir / "libcore.so");
  }

  void TearDown() override { fs::remove_all(dir); }

  Result run(const std::string& args, const std::string& env = "") {
    return runShell(env + " " + (dir / "orvane").string() + " " + args);
  }

  // Runs a shell command with its standard output thrown away.
  Result runShell(const std::string& command) {
    std::string errPath = (dir / "stderr.txt").string();
    int raw = std::system((command + " >/dev/null 2>" + errPath).c_str());
    Result r;
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    std::ifstream in(errPath);
    std::stringstream text;
    text << in.rdbuf();
    r.err = text.str();
    return r;
  }

  void write(const std::string& name, const std::string& text) {
    fs::create_directories((dir / name).parent_path());
    std::ofstream(dir / name, std::ios::binary) << text;
  }

  // A WAV file (16-bit stereo, 44100 Hz) whose every sample is value.
  static std::string wav(int samples, int16_t value = 0) {
    auto u32 = [](uint32_t v) { return std::string(reinterpret_cast<const char*>(&v), 4); };
    auto u16 = [](uint16_t v) { return std::string(reinterpret_cast<const char*>(&v), 2); };
    std::string data;
    for (int i = 0; i < samples * 2; ++i) data += std::string(reinterpret_cast<const char*>(&value), 2);
    return "RIFF" + u32(uint32_t(36 + data.size())) + "WAVE" + "fmt " + u32(16) + u16(1) +
           u16(2) + u32(44100) + u32(44100 * 4) + u16(4) + u16(16) + "data" +
           u32(uint32_t(data.size())) + data;
  }

  // The transcript's lines without their times; the times must never go backwards.
  std::vector<std::string> transcriptEvents() {
    std::ifstream in(dir / "transcript.txt");
    std::vector<std::string> events;
    long last = -1;
    for (std::string line; std::getline(in, line);) {
      size_t space = line.find(' ');
      EXPECT_NE(space, std::string::npos) << line;
      long time = std::stol(line.substr(0, space));
      EXPECT_GE(time, last) << line;
      last = time;
      events.push_back(line.substr(space + 1));
    }
    return events;
  }

  std::string headless(const std::string& extra = "") {
    return "--headless --input " + (dir / "input.txt").string() + " --transcript " +
           (dir / "transcript.txt").string() + " " + extra + " " + (dir / "game").string();
  }
};

// Runs a command under a virtual display. The display and desktop-bus libraries keep memory
// of their own at exit, which a leak-checking build would report as ours; leaks of the
// runtime itself are checked by the headless tests.
inline std::string underVirtualDisplay(const std::string& command,
                                       const std::string& screen = "1024x768") {
  // A message box nobody closes would otherwise keep the window, and the test, open for ever.
  // The time limit is inside, so the virtual display is always taken down with the command.
  return "ASAN_OPTIONS=detect_leaks=0 xvfb-run -a -s '-screen 0 " + screen + "x24' timeout 60 " +
         command;
}

