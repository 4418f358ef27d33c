// A save the process does not live through: orvane, with a preloaded shim that numbers every
// call changing a file in the save folder (each written byte its own), saves a position and
// a setting and is killed at every point; each time both files are the old or the new one,
// byte for byte, and both of those are read back by the game. A full disk (the shim's,
// and a real small tmpfs where one can be mounted) keeps the old file and says so.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>

#include "title/flow_fixture.h"

namespace fs = std::filesystem;

namespace {

using Env = std::vector<std::pair<std::string, std::string>>;

constexpr const char* kOldProgress =
    "[save]\r\nclear=1\r\npt_scn=scn/kigae\r\npt_target=start:old\r\npt_item=\r\npt_life=3\r\n"
    "pt_nolife=start:nolife\r\n";
constexpr const char* kNewProgress =
    "[save]\r\nclear=1\r\npt_scn=scn/maid\r\npt_target=start:new\r\npt_item=\r\npt_life=5\r\n"
    "pt_nolife=start:nolife\r\n";
constexpr const char* kOldSettings = "[settings]\r\nmusic=50\r\n";
constexpr const char* kNewSettings = "[settings]\r\nmusic=60\r\n";

std::string readFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return "<missing>";
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

struct Outcome {
  bool killed = false;  // ended by SIGKILL
  int status = -1;      // exit status otherwise
  std::string errors;   // standard error
};

}  // namespace

class CrashSafeProgress : public FlowTest {
 protected:
  void SetUp() override {
    FlowTest::SetUp();
    MakeGame({{"scn/menu1/select1.scn", "@exit rescode=0\n"},
              {"scn/maid/start.scn", "@save target=start:new\n@exit rescode=saved\n:new\n@resumed_new\n"},
              {"scn/kigae/start.scn", ":old\n@resumed_old\n"}});
    // The player turns the music up at the save dialog (the settings file), then saves.
    std::ofstream(dir / "input.txt") << kClickBeginSaved << "\nkey F8\n" << kClickSaveYes << "\n";
    Reset();
  }

  // The save folder as it was before the save: the old position and settings only.
  void Reset() {
    fs::remove_all(dir / "save");
    fs::create_directories(dir / "save");
    WriteProgress(kOldProgress);
    std::ofstream(dir / "save" / "orvane.ini", std::ios::binary) << kOldSettings;
  }

  std::string Progress() const { return readFile(dir / "save" / "derizi1.sav"); }
  std::string Settings() const { return readFile(dir / "save" / "orvane.ini"); }

  std::set<std::string> SaveFolder() const {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir / "save"))
      names.insert(entry.path().filename().string());
    return names;
  }

  // orvane under the shim, watching the save folder; or, with a wrapper put in front of it
  // (the tmpfs case), plain.
  Outcome Play(const Env& env, const std::string& wrapper = "") {
    fs::remove(dir / "transcript.txt");
    const std::string orvane = std::string(ORVANE_BIN_DIR) + "/orvane --headless --save-dir " +
                               (dir / "save").string() + " --input " + (dir / "input.txt").string() +
                               " --transcript " + (dir / "transcript.txt").string() + " " +
                               gameDir.string();
    const fs::path errors = dir / "errors.txt";
    pid_t child = fork();
    if (child == 0) {
      int out = open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      dup2(out, 2);
      int null = open("/dev/null", O_WRONLY);
      dup2(null, 1);
      if (wrapper.empty()) setenv("LD_PRELOAD", CRASH_SHIM, 1);
      // A sanitizer build wants its own runtime loaded first; the shim only wraps calls, and
      // keeps the folder it puts back for the life of the process.
      const char* asan = std::getenv("ASAN_OPTIONS");
      setenv("ASAN_OPTIONS",
             ((asan ? std::string(asan) + ":" : "") + "verify_asan_link_order=0:detect_leaks=0").c_str(), 1);
      setenv("ORVANE_SHIM_DIR", (dir / "save").c_str(), 1);
      for (const auto& [name, value] : env) setenv(name.c_str(), value.c_str(), 1);
      std::string command = wrapper.empty() ? "exec " + orvane : wrapper + orvane;
      execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    int raw = 0;
    waitpid(child, &raw, 0);
    Outcome run;
    run.killed = WIFSIGNALED(raw) && WTERMSIG(raw) == SIGKILL;
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.errors = readFile(errors);
    return run;
  }

  // The points of a whole save, as the shim lists them ("N what name fd").
  std::vector<std::string> Points() {
    Reset();
    const fs::path log = dir / "points.txt";
    Outcome run = Play({{"ORVANE_SHIM_LOG", log.string()}});
    EXPECT_EQ(run.status, 0) << run.errors;
    EXPECT_EQ(Progress(), kNewProgress);
    EXPECT_EQ(Settings(), kNewSettings);
    std::vector<std::string> points;
    std::ifstream in(log);
    for (std::string line; std::getline(in, line);) points.push_back(line.substr(line.find(' ') + 1));
    return points;
  }

  std::string SaveFailedBox() const {
    return "Orvane System: ファイル \"" + (dir / "save" / "derizi1.sav").string() +
           "\" に書き込めません。\\nセーブできませんでした。";
  }
};

TEST_F(CrashSafeProgress, KilledAnywhereInASaveLeavesTheOldOrTheNewFile) {
  // One game, forked at its first change to the save folder; child after child plays on and
  // is killed at a point of the save: every call but the writes, and every third written
  // byte, over 200 points in all. ORVANE_CRASH_POINTS=all takes every point there is.
  const std::vector<std::string> points = Points();
  ASSERT_GT(points.size(), 200u);
  const char* every = std::getenv("ORVANE_CRASH_POINTS");
  const std::size_t stride = every && std::string(every) == "all" ? 1 : 3;
  std::vector<std::size_t> chosen;
  std::string list;
  for (std::size_t at = 1; at <= points.size(); ++at) {
    if (at % stride != 0 && points[at - 1].rfind("write", 0) == 0) continue;
    chosen.push_back(at);
    list += std::to_string(at) + " ";
  }
  Reset();
  const fs::path forks = dir / "forks";
  fs::create_directories(forks);
  ASSERT_EQ(Play({{"ORVANE_SHIM_FORK_DIR", forks.string()}, {"ORVANE_SHIM_FORK_POINTS", list}}).status, 0);

  int oldSeen = 0, newSeen = 0;
  bool progressNew = false, settingsNew = false;
  for (std::size_t at : chosen) {
    SCOPED_TRACE("killed at point " + std::to_string(at) + ": " + points[at - 1]);
    const fs::path left = forks / std::to_string(at);
    ASSERT_TRUE(fs::exists(left / "killed"));
    const std::string progress = readFile(left / "derizi1.sav");
    const std::string settings = readFile(left / "orvane.ini");
    ASSERT_TRUE(progress == kOldProgress || progress == kNewProgress) << progress;
    ASSERT_TRUE(settings == kOldSettings || settings == kNewSettings) << settings;
    // Once a file is new it stays new at every later point: one step replaces it.
    ASSERT_FALSE(progressNew && progress == kOldProgress);
    ASSERT_FALSE(settingsNew && settings == kOldSettings);
    progressNew = progress == kNewProgress;
    settingsNew = settings == kNewSettings;
    (progressNew ? newSeen : oldSeen)++;
  }
  std::printf("crash-safe progress: %zu points in a save, killed at %zu of them: old file %d "
              "times, new file %d times\n", points.size(), chosen.size(), oldSeen, newSeen);
  EXPECT_GT(newSeen, 0);  // the kills fell before, inside and after the replacement

  // Games started afresh and killed at a point leave what the forked ones left there.
  for (std::size_t at : {chosen[chosen.size() / 4], chosen[chosen.size() / 2], chosen[chosen.size() - 2]}) {
    SCOPED_TRACE("a fresh game killed at point " + std::to_string(at) + ": " + points[at - 1]);
    Reset();
    ASSERT_TRUE(Play({{"ORVANE_SHIM_KILL_AT", std::to_string(at)}}).killed);
    EXPECT_EQ(Progress(), readFile(forks / std::to_string(at) / "derizi1.sav"));
    EXPECT_EQ(Settings(), readFile(forks / std::to_string(at) / "orvane.ini"));
  }

  // What a kill halfway leaves behind does not stand in the way of the next save.
  Reset();
  ASSERT_TRUE(Play({{"ORVANE_SHIM_KILL_AT", std::to_string(points.size() * 3 / 4)}}).killed);
  EXPECT_EQ(Play({}).status, 0);
  EXPECT_EQ(Progress(), kNewProgress);
  EXPECT_EQ(Messages(), std::vector<std::string>{});

  // Both files a kill can leave are ones the game resumes from.
  EXPECT_EQ(FlowTest::Play({kClickLoadSaved}), 0);
  EXPECT_EQ(Messages(), std::vector<std::string>{ProbeBox("scn/maid/start.scn", 4, "@resumed_new")});
  WriteProgress(kOldProgress);
  EXPECT_EQ(FlowTest::Play({kClickLoadSaved}), 0);
  EXPECT_EQ(Messages(), std::vector<std::string>{ProbeBox("scn/kigae/start.scn", 2, "@resumed_old")});
}

TEST_F(CrashSafeProgress, AFullDiskKeepsTheOldFileAndSaysSo) {
  // The bytes a whole save writes (the settings first, then the position), and the disk
  // filling up at several places among them.
  const std::vector<std::string> points = Points();
  const long bytes = std::count_if(points.begin(), points.end(),
                                   [](const std::string& p) { return p.rfind("write", 0) == 0; });
  const long settingsBytes = long(std::string(kNewSettings).size());
  for (long room : {0L, settingsBytes, settingsBytes + 1, (bytes + settingsBytes) / 2, bytes - 1}) {
    SCOPED_TRACE("room for " + std::to_string(room) + " of " + std::to_string(bytes) + " bytes");
    Reset();
    Outcome run = Play({{"ORVANE_SHIM_DISK_BYTES", std::to_string(room)}});
    EXPECT_EQ(run.status, 0) << run.errors;
    EXPECT_EQ(Progress(), kOldProgress);
    EXPECT_EQ(Messages(), std::vector<std::string>{SaveFailedBox()});
    // Nothing half-written is left beside the files.
    EXPECT_EQ(SaveFolder(), (std::set<std::string>{"derizi1.sav", "orvane.ini"}));
    if (room < settingsBytes) {
      EXPECT_EQ(Settings(), kOldSettings);
      EXPECT_NE(run.errors.find("cannot write the settings"), std::string::npos) << run.errors;
    } else {
      EXPECT_EQ(Settings(), kNewSettings);
    }
  }
}

// The same on a real full disk: a tmpfs mounted over the save folder in a mount namespace of
// its own and filled up before the game starts.
TEST_F(CrashSafeProgress, ARealFullDiskKeepsTheOldFileAndSaysSo) {
  if (std::system("unshare -rm true >/dev/null 2>&1") != 0)
    GTEST_SKIP() << "no mount namespace here (unshare -rm): the shim's full disk stands in";
  const std::string save = (dir / "save").string(), kept = (dir / "kept").string();
  fs::create_directories(dir / "kept");
  fs::copy(dir / "save", dir / "kept", fs::copy_options::recursive);
  // The files go onto the new tmpfs, the rest of it is filled, and what the game leaves is
  // copied out before the namespace, and the tmpfs with it, goes away.
  const std::string wrapper =
      "unshare -rm sh -c 'mount -t tmpfs -o size=64k tmpfs " + save + " && cp " + kept +
      "/* " + save + "/ && (dd if=/dev/zero of=" + save + "/filler bs=4096 2>/dev/null; true) && " +
      "$0 \"$@\"; cp " + save + "/* " + kept + "/; ls -a " + save + " > " + kept +
      "/listing' ";
  // The inner shell runs orvane as its arguments.
  Outcome run = Play({}, wrapper);
  EXPECT_EQ(run.status, 0) << run.errors;
  EXPECT_EQ(readFile(dir / "kept" / "derizi1.sav"), kOldProgress);
  EXPECT_EQ(readFile(dir / "kept" / "orvane.ini"), kOldSettings);
  EXPECT_NE(run.errors.find("cannot write the settings"), std::string::npos) << run.errors;
  EXPECT_EQ(Messages(), std::vector<std::string>{SaveFailedBox()});
  EXPECT_EQ(readFile(dir / "kept" / "listing"), ".\n..\nderizi1.sav\nfiller\norvane.ini\n");
}
