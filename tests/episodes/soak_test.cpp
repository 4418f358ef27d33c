// The soak: one headless session plays the three episodes back to back, round after round,
// and at the title before each round writes what the process holds (resident memory, heap
// in use, open files, live host objects). The first round fills the caches; from the second
// on nothing may grow. ORVANE_SOAK_ROUNDS sets the number of rounds (3 in the suite; the long
// form, scripts/soak, runs for an hour).
#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {

using Figures = std::map<std::string, long>;

std::vector<std::string> replayLines(const std::string& script) {
  std::ifstream in(std::string(REPLAYS_DIR) + "/" + script + ".txt");
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);)
    if (line.rfind("shot ", 0) != 0) lines.push_back(line);  // no pictures kept
  return lines;
}

// Rounds of the three episodes, each round begun by `usage` at the title and the session
// ended by a last one. Once a game is saved the title's first button moves up, so the first
// episode after the first round starts from there, as the other two always do.
std::string soakScript(int rounds) {
  std::string script;
  for (int round = 0; round < rounds; ++round) {
    script += "usage\n";
    for (const char* episode : {"maid", "kigae", "tabako"}) {
      std::vector<std::string> lines = replayLines(episode);
      for (std::string& line : lines) {
        if (round > 0 && line.rfind("click 400 430", 0) == 0) line = "click 400 400";
        script += line + "\n";
      }
    }
  }
  return script + "usage\n";
}

Figures parseUsage(const std::string& event) {
  Figures figures;
  std::istringstream in(event.substr(event.find(' ') + 1));
  for (std::string word; in >> word;) {
    std::size_t equals = word.find('=');
    if (equals != std::string::npos) figures[word.substr(0, equals)] = std::stol(word.substr(equals + 1));
  }
  return figures;
}

const char* const kObjects[] = {"images", "sprites", "fonts", "sounds", "streams", "files", "wipes"};

void printRow(int round, const Figures& f, int verdicts) {
  std::printf("soak round %3d: rss %6ld KiB  heap %6ld KiB  fds %3ld  objects", round,
              f.at("rss_kb"), f.at("heap_kb"), f.at("fds"));
  for (const char* kind : kObjects) std::printf(" %s %ld", kind, f.at(kind));
  std::printf("  verdict sounds so far %d\n", verdicts);
  std::fflush(stdout);
}

// Starts orvane in a folder of its own (emptied first) playing `rounds` rounds, its output
// thrown away and its transcript in dir/transcript.txt; the child's pid, or -1.
pid_t startSoak(const fs::path& dir, int rounds) {
  fs::remove_all(dir);
  fs::create_directories(dir);
  std::ofstream(dir / "input.txt") << soakScript(rounds);
  const pid_t child = fork();
  if (child == 0) {
    int null = open("/dev/null", O_WRONLY);
    dup2(null, 1);
    dup2(null, 2);
    const std::string input = (dir / "input.txt").string(), save = (dir / "save").string(),
                      out = (dir / "transcript.txt").string();
    execl(ORVANE_BIN_DIR "/orvane", "orvane", "--headless", "--input", input.c_str(),
          "--transcript", out.c_str(), "--save-dir", save.c_str(), "--max-time", "4294967295",
          ORVANE_BIN_DIR "/game", static_cast<char*>(nullptr));
    _exit(127);
  }
  return child;
}

}  // namespace

TEST(Soak, ThreeEpisodesRoundAfterRoundHoldNoMore) {
  int rounds = 3;
  if (const char* env = std::getenv("ORVANE_SOAK_ROUNDS")) rounds = std::max(3, std::atoi(env));
  const fs::path dir = fs::temp_directory_path() / ("orvane_soak_" + std::to_string(getpid()));
  const fs::path transcript = dir / "transcript.txt";
  const pid_t child = startSoak(dir, rounds);
  ASSERT_GE(child, 0);

  // The figures as the session writes them, printed as they come.
  std::vector<Figures> usage;
  std::vector<std::string> messages;
  int verdicts = 0, status = 0;
  std::ifstream in;
  std::string pending;
  struct rusage resources {};
  bool running = true;
  auto readNew = [&] {
    if (!in.is_open()) in.open(transcript);
    if (!in.is_open()) return;
    in.clear();
    for (char c; in.get(c);) {
      if (c != '\n') {
        pending += c;
        continue;
      }
      std::string event = pending.substr(pending.find(' ') + 1);
      pending.clear();
      if (event.rfind("usage ", 0) == 0) {
        usage.push_back(parseUsage(event));
        printRow(int(usage.size()), usage.back(), verdicts);
      } else if (event.rfind("message ", 0) == 0) {
        messages.push_back(event);
      } else if (event == "se sys/se/判決.wav") {
        ++verdicts;
      }
    }
  };
  while (running) {
    running = wait4(child, &status, WNOHANG, &resources) == 0;
    readNew();
    if (running) std::this_thread::sleep_for(std::chrono::milliseconds(200));
  }
  std::printf("soak: %d rounds, orvane's peak resident memory %ld KiB\n", rounds,
              resources.ru_maxrss);

  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_EQ(messages, std::vector<std::string>{});
  // Every round played all three episodes to their verdicts (two halves each).
  EXPECT_EQ(verdicts, 6 * rounds);
  ASSERT_EQ(int(usage.size()), rounds + 1);

  // From the second round on: the same open files and host objects at every title, and a
  // heap that holds the same bytes. A leak of one picture (800x600, 1.8 MiB) a round shows
  // at once in the heap. Resident memory also counts pages the allocator keeps for reuse
  // after they are freed, which settle only slowly, so it gets a looser bound.
  const Figures& settled = usage[1];
  for (std::size_t i = 2; i < usage.size(); ++i) {
    SCOPED_TRACE("title before round " + std::to_string(i + 1));
    EXPECT_EQ(usage[i].at("fds"), settled.at("fds"));
    for (const char* kind : kObjects) EXPECT_EQ(usage[i].at(kind), settled.at(kind)) << kind;
    EXPECT_LE(usage[i].at("heap_kb"), settled.at("heap_kb") + 256);
    EXPECT_LE(usage[i].at("rss_kb"), settled.at("rss_kb") + 32 * 1024);
  }
  if (!HasFailure()) fs::remove_all(dir);
}

// A soak, or any headless run, is stopped by hand with SIGTERM or Ctrl-C: with sounds
// playing, the signal still ends the process at once.
TEST(Soak, AHeadlessRunEndsOnTermination) {
  const fs::path dir = fs::temp_directory_path() / ("orvane_soak_stop_" + std::to_string(getpid()));
  const fs::path transcript = dir / "transcript.txt";
  const pid_t child = startSoak(dir, 20);
  ASSERT_GE(child, 0);
  // Once a sound has played the audio library is up; then the signal.
  int status = 0;
  bool exited = false;
  for (int tries = 0; tries < 1200 && !exited; ++tries) {
    std::ifstream in(transcript);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (text.find(" se ") != std::string::npos) break;
    exited = waitpid(child, &status, WNOHANG) == child;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  ASSERT_FALSE(exited);
  kill(child, SIGTERM);
  bool ended = false;
  for (int tries = 0; tries < 300 && !ended; ++tries) {
    ended = waitpid(child, &status, WNOHANG) == child;
    if (!ended) std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  if (!ended) {
    kill(child, SIGKILL);
    waitpid(child, &status, 0);
  }
  EXPECT_TRUE(ended);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM);
  fs::remove_all(dir);
}
