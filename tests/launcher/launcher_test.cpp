// orvane end to end: the test game played headless with a script, and the exit statuses for
// a missing runtime, a missing game, an unbound function and bad arguments.
#include "launcher/launcher_fixture.h"

TEST_F(Launcher, AScriptedClickAndQuitPlayThroughToTheEnd) {
  write("input.txt", "click 100 200\nrclick\nquit\n");
  Result r = run(headless());
  EXPECT_EQ(r.status, 0) << r.err;
  std::vector<std::string> expected = {
      "title Test game",
      "input click 100 200",
      "message Test game: clicked left at 100 200",
      "input rclick 100 200",
      "message Test game: clicked right at 100 200",
      "input quit",
      "exit",
  };
  EXPECT_EQ(transcriptEvents(), expected);
}

TEST_F(Launcher, MusicAndSoundsOfTheGameAppearInTheTranscript) {
  write("game/bgm/intro.wav", wav(4410));
  write("game/bgm/body.wav", wav(8820));
  write("game/se/click.wav", wav(441));
  write("input.txt", "click 5 6\nquit\n");
  Result r = run(headless());
  EXPECT_EQ(r.status, 0) << r.err;
  std::vector<std::string> expected = {
      "title Test game",
      "stream bgm/intro.wav bgm/body.wav (loop)",
      "input click 5 6",
      "message Test game: clicked left at 5 6",
      "se se/click.wav",
      "input quit",
      "exit",
      "stream-stop",
  };
  EXPECT_EQ(transcriptEvents(), expected);
}

TEST_F(Launcher, TheGameFolderDefaultsToTheBundledGameBesideTheLauncher) {
  write("input.txt", "");
  Result r = run("--headless --input " + (dir / "input.txt").string() + " --transcript " +
                 (dir / "transcript.txt").string());
  EXPECT_EQ(r.status, 0) << r.err;
  std::vector<std::string> expected = {"title Test game", "exit"};
  EXPECT_EQ(transcriptEvents(), expected);
  fs::remove_all(dir / "game");
  r = run("--headless");
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("game"), std::string::npos) << r.err;
}

TEST_F(Launcher, TheTimeLimitEndsAHeadlessFrameLoopAtAnExactFrame) {
  // 20 frames a second on the virtual clock: 5000 ms are exactly 100 frames, on any machine.
  Result r = run("--headless --max-time 5000 --transcript " + (dir / "transcript.txt").string() +
                     " " + (dir / "game").string(),
                 "TEST_GAME_MODE=frames");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("frames 100\n"), std::string::npos) << r.err;
  std::ifstream in(dir / "transcript.txt");
  std::string first, last;
  std::getline(in, first);
  for (std::string line; std::getline(in, line);) last = line;
  EXPECT_EQ(last, "5000 exit");
}

TEST_F(Launcher, AMissingRuntimeIsNamed) {
  fs::remove(dir / "libruntime.so");
  Result r = run("--headless " + (dir / "game").string());
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("libruntime.so"), std::string::npos) << r.err;
}

TEST_F(Launcher, AMissingGameIsNamed) {
  fs::remove(dir / "libcore.so");
  Result r = run("--headless " + (dir / "game").string());
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("libcore.so"), std::string::npos) << r.err;
}

TEST_F(Launcher, AGameWithoutItsExportsIsNamedWithTheMissingFunction) {
  fs::copy_file(dir / "libwincompat.so", dir / "libcore.so", fs::copy_options::overwrite_existing);
  Result r = run("--headless " + (dir / "game").string());
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("libcore.so"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("lbGetFunction"), std::string::npos) << r.err;
}

TEST_F(Launcher, AHostFunctionTheRuntimeLacksFailsTheBinding) {
  write("input.txt", "click 1 1\n");
  Result r = run(headless(), "TEST_GAME_EXTRA_FUNCTION=lbNoSuchFunction");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("lbNoSuchFunction"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("lbLoadSystem"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("libruntime.so"), std::string::npos) << r.err;
  EXPECT_FALSE(fs::exists(dir / "transcript.txt")) << "the game never started";
}

TEST_F(Launcher, BadArgumentsExitWithStatusTwo) {
  write("input.txt", "click 1 1\nsing\n");
  for (const std::string& args :
       {std::string("--frobnicate"), std::string("--input"), std::string("--max-time soon"),
        std::string("--shot-at 100"), std::string("--shot-at x:name"),
        std::string("a b"), "--headless --input " + (dir / "missing.txt").string(),
        headless(), "--headless " + (dir / "no-such-game").string()}) {
    Result r = run(args);
    EXPECT_EQ(r.status, 2) << args << "\n" << r.err;
    EXPECT_FALSE(r.err.empty()) << args;
  }
  Result bad = run(headless());
  EXPECT_NE(bad.err.find("line 2"), std::string::npos) << bad.err;
}

TEST_F(Launcher, HelpListsTheOptions) {
  std::string out = (dir / "help.txt").string();
  int raw = std::system(((dir / "orvane").string() + " --help >" + out).c_str());
  EXPECT_EQ(WEXITSTATUS(raw), 0);
  std::ifstream in(out);
  std::stringstream text;
  text << in.rdbuf();
  for (const char* option : {"--headless", "--input", "--transcript", "--shots", "--shot-at",
                             "--save-dir", "--scenario", "--max-time", "--log", "GAME_DIR"})
    EXPECT_NE(text.str().find(option), std::string::npos) << option;
}

TEST_F(Launcher, AWindowedFrameLoopIsPacedToTheGamesFrameRate) {
  if (std::system("command -v xvfb-run >/dev/null 2>&1") != 0) GTEST_SKIP() << "no xvfb-run";
  // One second of real time: a loop that rendered as fast as it could would show hundreds.
  std::string args = "--max-time 1000 " + (dir / "game").string();
  std::string errPath = (dir / "stderr.txt").string();
  std::string command = "TEST_GAME_MODE=frames " +
                        underVirtualDisplay((dir / "orvane").string() + " " + args) +
                        " >/dev/null 2>" + errPath;
  int raw = std::system(command.c_str());
  std::ifstream in(errPath);
  std::stringstream text;
  text << in.rdbuf();
  ASSERT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) == 0) << text.str();
  size_t at = text.str().find("frames ");
  ASSERT_NE(at, std::string::npos) << text.str();
  int frames = std::stoi(text.str().substr(at + 7));
  EXPECT_LE(frames, 23) << "the game asked for 20 frames a second";
  EXPECT_GE(frames, 5) << "frames must keep coming";
}

TEST_F(Launcher, AStreamPlaysItsPreludeOnceThenLoopsItsBodyWithoutAGap) {
  if (std::system("command -v xvfb-run >/dev/null 2>&1") != 0) GTEST_SKIP() << "no xvfb-run";
  // Constant samples make the mixer's output readable: 1000 is the prelude, 2000 the body.
  const int introFrames = 4410, bodyFrames = 2000;
  write("game/bgm/intro.wav", wav(introFrames, 1000));
  write("game/bgm/body.wav", wav(bodyFrames, 2000));
  std::string raw = (dir / "audio.raw").string();
  std::string errPath = (dir / "stderr.txt").string();
  // SDL's disk driver writes what would have been heard into a file.
  std::string command = "SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=" + raw + " " +
                        underVirtualDisplay((dir / "orvane").string() + " --max-time 1500 " +
                                            (dir / "game").string()) +
                        " >/dev/null 2>" + errPath;
  int status = std::system(command.c_str());
  std::ifstream errors(errPath);
  std::stringstream errorText;
  errorText << errors.rdbuf();
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << errorText.str();
  std::ifstream in(raw, std::ios::binary);
  std::vector<int16_t> samples;
  for (int16_t s; in.read(reinterpret_cast<char*>(&s), 2);) samples.push_back(s);
  ASSERT_FALSE(samples.empty()) << "no audio output";
  size_t i = 0;
  while (i < samples.size() && samples[i] == 0) ++i;  // before the stream starts
  size_t intro = 0;
  for (; i < samples.size() && samples[i] == 1000; ++i) ++intro;
  EXPECT_EQ(intro, size_t(introFrames) * 2) << "the prelude plays once, whole";
  size_t body = 0;
  for (; i < samples.size() && samples[i] == 2000; ++i) ++body;
  EXPECT_GE(body, size_t(bodyFrames) * 2 * 5) << "the body loops";
  for (; i < samples.size(); ++i) {  // after the body only the silence of the stopped stream
    ASSERT_EQ(samples[i], 0) << "a gap or a stray sample at " << i;
  }
}
