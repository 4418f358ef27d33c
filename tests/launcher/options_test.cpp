// The launcher's command line.
#include "options.h"

#include <gtest/gtest.h>

namespace {

bool parse(std::vector<const char*> args, Options& o, std::string& error) {
  args.insert(args.begin(), "orvane");
  return parseOptions(int(args.size()), args.data(), o, error);
}

}  // namespace

TEST(LauncherOptions, EveryOptionTakesItsValue) {
  Options o;
  std::string error;
  ASSERT_TRUE(parse({"--headless", "--input", "in.txt", "--transcript", "t.txt", "--shots", "s",
                     "--shot-at", "1500:fade", "--shot-at", "0:first", "--save-dir", "save",
                     "--scenario", "scn/test", "--max-time", "60000", "--log", "log.txt", "g"},
                    o, error))
      << error;
  EXPECT_TRUE(o.headless);
  EXPECT_EQ(o.input, "in.txt");
  EXPECT_EQ(o.transcript, "t.txt");
  EXPECT_EQ(o.shotsDir, "s");
  EXPECT_EQ(o.shotAtMs, (std::vector<unsigned>{1500, 0}));
  EXPECT_EQ(o.shotAtNames, (std::vector<std::string>{"fade", "first"}));
  EXPECT_EQ(o.saveDir, "save");
  EXPECT_EQ(o.scenario, "scn/test");
  EXPECT_EQ(o.maxTimeMs, 60000);
  EXPECT_EQ(o.log, "log.txt");
  EXPECT_EQ(o.gameDir, "g");
}

TEST(LauncherOptions, DefaultsLeaveEverythingToTheRuntime) {
  Options o;
  std::string error;
  ASSERT_TRUE(parse({}, o, error));
  EXPECT_FALSE(o.headless);
  EXPECT_EQ(o.maxTimeMs, -1);
  EXPECT_TRUE(o.gameDir.empty());
}

TEST(LauncherOptions, BadArgumentsSayWhatIsWrong) {
  struct Case { std::vector<const char*> args; const char* error; } cases[] = {
      {{"--input"}, "--input needs a value"},
      {{"--input", ""}, "--input needs a value"},
      {{"--max-time", "-5"}, "--max-time needs a number of milliseconds, not \"-5\""},
      {{"--max-time", "99999999999"}, "--max-time needs a number of milliseconds, not \"99999999999\""},
      {{"--shot-at", "fade"}, "--shot-at needs MS:NAME (a plain file name), not \"fade\""},
      {{"--shot-at", "10:"}, "--shot-at needs MS:NAME (a plain file name), not \"10:\""},
      {{"--shot-at", "10:../x"}, "--shot-at needs MS:NAME (a plain file name), not \"10:../x\""},
      {{"--fullscreen"}, "unknown option --fullscreen"},
      {{"one", "two"}, "only one game folder can be given (one, two)"},
  };
  for (auto& c : cases) {
    Options o;
    std::string error;
    EXPECT_FALSE(parse(c.args, o, error)) << c.error;
    EXPECT_EQ(error, c.error);
  }
}

TEST(LauncherOptions, HelpIsRecognisedAnywhere) {
  Options o;
  std::string error;
  ASSERT_TRUE(parse({"--headless", "--help"}, o, error));
  EXPECT_TRUE(o.help);
}
