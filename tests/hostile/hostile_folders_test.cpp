// Hostile game folders, made at test time: names that climb out of the folder (`..`,
// absolute paths, links, in the folder and in the archive), a picture declaring 30000x30000
// pixels, truncated pictures and sounds, an empty file of every format the game reads, and a
// scenario of ten million lines or of one line of 100 MB. Each run of orvane ends with the
// system's message or goes on without the broken sound, in bounded memory and time, and
// leaves every file outside the save folder as it was.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "common/golden.h"
#include "common/replay.h"
#include "common/zip.h"

namespace fs = std::filesystem;

namespace {

// Several times what a debug run of the bundled game takes (35 to 60 MiB resident), far
// below what any of these files would take if read as they say (the 100 MB line alone would
// be held three times over). The sanitizer build keeps shadow memory besides.
#ifdef __SANITIZE_ADDRESS__
constexpr long kMemoryBoundKb = 1024L * 1024;
#else
constexpr long kMemoryBoundKb = 192L * 1024;
#endif
constexpr auto kTimeBound = std::chrono::seconds(120);

// Every name, size and modification time under a folder.
std::map<std::string, std::string> snapshot(const fs::path& root) {
  std::map<std::string, std::string> files;
  for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator(); ++it) {
    const fs::path& p = it->path();
    std::error_code ec;
    std::string facts = it->is_symlink() ? "link " + fs::read_symlink(p, ec).string()
                        : it->is_regular_file() ? std::to_string(it->file_size()) + " " +
                              std::to_string(fs::last_write_time(p).time_since_epoch().count())
                                                : "folder";
    files[fs::relative(p, root).string()] = facts;
  }
  return files;
}

struct Outcome {
  int status = -1;
  long peakKb = 0;
  bool timedOut = false;
  std::vector<std::string> messages;
  std::vector<std::string> events;
  std::string errors;
  bool has(const std::string& event) const {
    return std::find(events.begin(), events.end(), event) != events.end();
  }
};

class HostileFolders : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() /
          ("orvane_hostile_" + std::to_string(getpid()) + "_" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir);
    game = dir / "game";
    // The bundled game, its files linked rather than copied: a case replaces a file whole.
    fs::create_directories(dir);
    std::error_code ec;
    fs::copy(fs::path(ORVANE_BIN_DIR) / "game", game,
             fs::copy_options::recursive | fs::copy_options::create_hard_links, ec);
    if (ec) fs::copy(fs::path(ORVANE_BIN_DIR) / "game", game, fs::copy_options::recursive);
    fs::create_directories(game / "scn" / "h");
    // A file outside the game folder that the game must never read: it would show itself.
    Write(dir / "outside.scn", "@escaped_the_game_folder\n");
    fs::create_directories(dir / "outside_folder");
    Write(dir / "outside_folder" / "start.scn", "@escaped_the_game_folder\n");
  }
  void TearDown() override {
    if (!HasFailure()) fs::remove_all(dir);
  }

  static void Write(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    fs::remove(path);  // never through a link to the bundled game's file
    std::ofstream(path, std::ios::binary) << bytes;
  }
  // Game text files are Shift-JIS; the tests write them in UTF-8.
  void Scenario(const std::string& text) { Write(game / "scn" / "h" / "start.scn", sjis(text)); }
  std::string Bundled(const std::string& relative) const {
    std::ifstream in(fs::path(ORVANE_BIN_DIR) / "game" / relative, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
  }

  // Runs the folder scn/h as the debug run with one click and two keys for the player, and
  // checks the bounds and that nothing outside the save folder changed.
  Outcome Play() {
    const fs::path input = dir / "input.txt", transcript = dir / "transcript.txt",
                   errors = dir / "errors.txt", save = dir / "save";
    std::ofstream(input) << "click 400 300\nkey Return\nkey Return\n";
    const auto before = snapshot(game);
    const auto outsideBefore = snapshot(dir / "outside_folder");
    Outcome out;
    const pid_t child = fork();
    if (child == 0) {
      int err = open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      dup2(err, 2);
      int null = open("/dev/null", O_WRONLY);
      dup2(null, 1);
      execl(ORVANE_BIN_DIR "/orvane", "orvane", "--headless", "--input", input.c_str(),
            "--transcript", transcript.c_str(), "--save-dir", save.c_str(), "--scenario",
            "scn/h", game.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    const auto deadline = std::chrono::steady_clock::now() + kTimeBound;
    int raw = 0;
    struct rusage usage {};
    while (wait4(child, &raw, WNOHANG, &usage) == 0) {
      if (std::chrono::steady_clock::now() > deadline) {
        out.timedOut = true;
        kill(child, SIGKILL);
        wait4(child, &raw, 0, &usage);
        break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    out.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    out.peakKb = usage.ru_maxrss;
    out.messages = transcriptMessages(transcript.string());
    out.events = transcriptEvents(transcript.string());
    std::ifstream in(errors);
    std::stringstream text;
    text << in.rdbuf();
    out.errors = text.str();

    EXPECT_FALSE(out.timedOut);
    EXPECT_EQ(out.status, 0) << out.errors;
    EXPECT_LT(out.peakKb, kMemoryBoundKb);
    EXPECT_EQ(snapshot(game), before);
    EXPECT_EQ(snapshot(dir / "outside_folder"), outsideBefore);
    for (const auto& entry : fs::directory_iterator(dir))  // nothing new beside them
      EXPECT_TRUE(entry.path().filename().string().find("escaped") == std::string::npos);
    std::printf("peak resident memory %ld KiB\n", out.peakKb);
    return out;
  }

  fs::path dir, game;
};

// The box of a scenario error: file, line and the message.
std::string Box(const std::string& file, int line, const std::string& message) {
  return "Orvane System: ファイル \"" + file + "\"\\n行数 " + std::to_string(line) + "\\n\\n" + message;
}
std::string CannotOpen(const std::string& file, int line, const std::string& path) {
  return Box(file, line, "ファイル \"" + path + "\" が開けません。");
}
std::string CannotLoadPicture(const std::string& file, int line, const std::string& name) {
  return Box(file, line, "画像 \"" + name + "\" が読み込めません。");
}

constexpr const char* kStart = "scn/h/start.scn";

// A PNG whose header declares the size and whose data is a few bytes: what a real file of
// that size would hold is never there to be decoded.
std::string TinyPng(std::uint32_t width, std::uint32_t height) {
  std::string png("\x89PNG\r\n\x1a\n", 8);
  auto be32 = [](std::uint32_t v) {
    return std::string{char(v >> 24), char(v >> 16 & 0xFF), char(v >> 8 & 0xFF), char(v & 0xFF)};
  };
  auto chunk = [&](const std::string& type, const std::string& data) {
    png += be32(data.size()) + type + data + be32(zipCrc32(type + data));
  };
  chunk("IHDR", be32(width) + be32(height) + std::string("\x08\x06\x00\x00\x00", 5));
  chunk("IDAT", std::string("\x78\x9c\x63\x00\x00\x00\x01\x00\x01", 9));
  chunk("IEND", "");
  return png;
}

}  // namespace

TEST_F(HostileFolders, NamesThatClimbOutOfTheFolderAreNeverFollowed) {
  const std::string outside = (dir / "outside").string();
  fs::create_symlink(dir / "outside.scn", game / "scn" / "h" / "link.scn");
  fs::create_symlink(dir / "outside_folder", game / "scn" / "h" / "linked");
  struct Case { const char* target; std::string path; };
  // A backslash is the scenario text's escape character, so it is written twice.
  for (const Case& c : {Case{"../../../outside:x", "scn/h/../../../outside.scn"},
                        Case{"..\\\\..\\\\..\\\\outside:x", "scn/h/..\\..\\..\\outside.scn"},
                        Case{"link:x", "scn/h/link.scn"},
                        Case{"linked/start:x", "scn/h/linked/start.scn"}}) {
    SCOPED_TRACE(c.target);
    Scenario(std::string("@goto target=") + c.target + "\n");
    EXPECT_EQ(Play().messages, std::vector<std::string>{CannotOpen(kStart, 1, c.path)});
  }
  // An absolute name: the folder's own path is put in front, and still nothing is found.
  Scenario("@goto target=" + outside + ":x\n");
  EXPECT_EQ(Play().messages, std::vector<std::string>{CannotOpen(kStart, 1, "scn/h/" + outside + ".scn")});
}

TEST_F(HostileFolders, AnArchiveWithClimbingNamesAndLinksServesOnlyItself) {
  // The archive holds the scenario, entries named out of the folder and a link leading
  // out; the scenario asks for each of them.
  Write(game / "derizi.dat",
        storedZip({{"scn/h/start.scn", "@goto target=climb:x\n"},
                   {"../../outside.scn", "@escaped_through_dotdot\n"},
                   {dir.string() + "/outside_folder/start.scn", "@escaped_through_absolute\n"},
                   {"scn/h/climb.scn", "../../../../outside.scn", true}}));
  Outcome out = Play();
  EXPECT_EQ(out.messages, std::vector<std::string>{CannotOpen(kStart, 1, "scn/h/climb.scn")});
}

TEST_F(HostileFolders, APictureDeclaringThirtyThousandSquareIsRefusedUnread) {
  Write(game / "scn" / "h" / "bg_h.spr", "@sprite file=\"bg_h.png\"\n");
  Write(game / "scn" / "h" / "bg_h.png", TinyPng(30000, 30000));
  Scenario("@backSet file=bg_h pos=0\n");
  Outcome out = Play();
  EXPECT_EQ(out.messages, std::vector<std::string>{CannotLoadPicture(kStart, 1, "scn/h/bg_h.png")});
  EXPECT_NE(out.errors.find("30000x30000"), std::string::npos) << out.errors;
}

TEST_F(HostileFolders, TruncatedPictureEndsWithThePictureMessage) {
  const std::string png = Bundled("scn/kigae/bg_gakuya.png");
  ASSERT_GT(png.size(), 1000u);
  Write(game / "scn" / "h" / "bg_h.spr", "@sprite file=\"bg_h.png\"\n");
  Write(game / "scn" / "h" / "bg_h.png", png.substr(0, png.size() / 2));
  Scenario("@backSet file=bg_h pos=0\n");
  EXPECT_EQ(Play().messages, std::vector<std::string>{CannotLoadPicture(kStart, 1, "scn/h/bg_h.png")});
}

TEST_F(HostileFolders, TruncatedSoundIsPlayedAsFarAsItGoesOrNotAtAll) {
  const std::string wav = Bundled("sys/se/扉.wav");
  ASSERT_GT(wav.size(), 1000u);
  for (std::size_t keep : {wav.size() / 2, std::size_t{30}}) {
    SCOPED_TRACE(keep);
    Write(game / "sys" / "se" / "扉.wav", wav.substr(0, keep));
    Scenario("@sePlay file=扉\n@textShowMessage\nあと[np]\n");
    Outcome out = Play();
    EXPECT_EQ(out.messages, std::vector<std::string>{});
    EXPECT_EQ(out.events.back(), "exit");  // the game went on after it
    // Half a sound still plays; a header cut short is no sound, and a silent one.
    if (keep > 1000) EXPECT_TRUE(out.has("se sys/se/扉.wav"));
    else EXPECT_NE(out.errors.find("sys/se/扉.wav is not a sound"), std::string::npos) << out.errors;
  }
}

// A pipe in a file's place would hold the open until something wrote to it: it is no file.
TEST_F(HostileFolders, APipeNamedAsAGameFileIsRefusedWithoutWaitingForIt) {
  ASSERT_EQ(mkfifo((game / "scn" / "h" / "pipe.scn").c_str(), 0644), 0);
  Scenario("@goto target=pipe:x\n");
  EXPECT_EQ(Play().messages, std::vector<std::string>{CannotOpen(kStart, 1, "scn/h/pipe.scn")});

  Write(game / "scn" / "h" / "bg_h.spr", "@sprite file=\"bg_h.png\"\n");
  ASSERT_EQ(mkfifo((game / "scn" / "h" / "bg_h.png").c_str(), 0644), 0);
  Scenario("@backSet file=bg_h pos=0\n");
  EXPECT_EQ(Play().messages, std::vector<std::string>{CannotLoadPicture(kStart, 1, "scn/h/bg_h.png")});

  fs::remove(game / "scn" / "h" / "bg_h.spr");
  ASSERT_EQ(mkfifo((game / "scn" / "h" / "bg_h.spr").c_str(), 0644), 0);
  // As for a definition that is not there: the system folder is tried next.
  EXPECT_EQ(Play().messages, std::vector<std::string>{CannotOpen(kStart, 1, "sys/bg_h.spr")});
}

TEST_F(HostileFolders, AnEmptyFileOfEveryFormat) {
  struct Case {
    const char* name;
    std::vector<std::string> empty;  // files made empty
    std::string scenario;
    std::vector<std::string> messages;
  };
  const Case cases[] = {
      {"scenario", {"scn/h/start.scn"}, "", {}},
      {"jump target", {"scn/h/next.scn"}, "@goto target=next:x\n",
       {Box(kStart, 1, "ジャンプ先ラベル \"x\" が見つかりません。")}},
      {"sprite definition", {"scn/h/bg_h.spr"}, "@backSet file=bg_h pos=0\n",
       {Box(kStart, 1, "スプライト定義ファイル\"scn/h/bg_h\"の一行目に@sprite定義文が必要です")}},
      {"picture", {"scn/h/bg_h.png"}, "@backSet file=bg_h pos=0\n",
       {CannotLoadPicture(kStart, 1, "scn/h/bg_h.png")}},
      {"motion", {"scn/h/m.mot"}, "@sprLoadMotion file=scn/h/m\n", {}},
      {"inquiry", {"scn/h/q.inq"}, "@inquiryRun file=q\n", {}},
      {"items", {"scn/h/item.txt"}, "@itemGetShow 0\n", {Box(kStart, 1, "アイテム番号 0 は不正")}},
      {"music list", {"bgm/list.txt"}, "@bgmPlay file=法廷\n@textShowMessage\nあと[np]\n",
       {"Orvane System: BGM \"法廷\" を再生できません。"}},
      {"sound", {"sys/se/扉.wav"}, "@sePlay file=扉\n@textShowMessage\nあと[np]\n", {}},
      {"music", {"bgm/court_body.wav"}, "@bgmPlay file=法廷\n@textShowMessage\nあと[np]\n", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (const Case& other : cases)  // the files earlier cases emptied, as the game has them
      for (const std::string& file : other.empty) {
        if (fs::exists(fs::path(ORVANE_BIN_DIR) / "game" / file)) Write(game / file, Bundled(file));
        else fs::remove(game / file);
      }
    Write(game / "scn" / "h" / "bg_h.spr", "@sprite file=\"bg_h.png\"\n");
    Write(game / "scn" / "h" / "bg_h.png", Bundled("scn/kigae/bg_gakuya.png"));
    Scenario(c.scenario);
    for (const std::string& file : c.empty) Write(game / file, "");
    Outcome out = Play();
    EXPECT_EQ(out.messages, c.messages);
    EXPECT_EQ(out.events.back(), "exit");
  }
}

TEST_F(HostileFolders, MusicThatIsEmptyOrNotOggStaysSilentAndSaysWhy) {
  Write(game / "bgm" / "empty.ogg", "");
  Write(game / "bgm" / "noise.ogg", "OggS" + std::string(4000, '\x01'));
  Scenario("@bgmPlay file=法廷\n@textShowMessage\nあと[np]\n");
  for (const char* entry : {"prelude=empty.ogg body=noise.ogg", "body=noise.ogg"}) {
    SCOPED_TRACE(entry);
    Write(game / "bgm" / "list.txt", sjis(std::string("@bgm no=0 name=法廷 ") + entry + "\n"));
    Outcome out = Play();
    EXPECT_EQ(out.messages, std::vector<std::string>{});
    EXPECT_EQ(out.events.back(), "exit");
    const std::string first = std::string(entry).substr(std::string(entry).find('=') + 1);
    EXPECT_NE(out.errors.find("bgm/" + first.substr(0, first.find(' ')) + " is not a sound"),
              std::string::npos) << out.errors;
  }
}

TEST_F(HostileFolders, TenMillionLinesOrOneLineOf100MBAreRefusedAtTheDoor) {
  for (const auto& [what, line, count] :
       {std::tuple<const char*, std::string, std::size_t>{"ten million lines", "\n", 10'000'000},
        {"one line of 100 MB", std::string(1 << 20, 'a'), 100}}) {
    SCOPED_TRACE(what);
    {
      fs::remove(game / "scn" / "h" / "start.scn");
      std::ofstream out(game / "scn" / "h" / "start.scn", std::ios::binary);
      std::string block;
      for (std::size_t i = 0; i < count; ++i) {
        block += line;
        if (block.size() >= (1 << 20)) {
          out << block;
          block.clear();
        }
      }
      out << block;
    }
    Outcome out = Play();
    // The debug run's first file cannot be opened: no scenario line is running yet.
    EXPECT_EQ(out.messages, std::vector<std::string>{CannotOpen("", 0, kStart)});
    EXPECT_NE(out.errors.find("scn/h/start.scn is larger than the 4 MiB"), std::string::npos) << out.errors;
  }
}
