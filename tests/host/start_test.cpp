// start and the window set-up, as the host sees them: the calls in their order.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "game/build_constants.h"
#include "host_fixture.h"

namespace {

std::vector<std::string> WindowSetUp() {
  return {
      "lbSetTitle(\"Orvane System\")",
      "lbUseGDI(1)",
      "lbSetCopyright(\"Orvane System\nCopyright (C) 2026 the Orvane developers\")",
      "lbSetWindowSize(800,600)",
      "lbSetTimePause(0)",
      "lbSetFPS(60)",
      "lbtsSetLinearMode(1)",
      "lbSetFullscreen(0)",
  };
}

using Start = BoundCore;

}  // namespace

TEST_F(Start, RejectedSystemNameEndsAtOnce) {
  EXPECT_EQ(start(0), 1);
  EXPECT_EQ(host->calls, std::vector<std::string>{"lbCheckSystemName(\"MOSSLINE_ORVANE_SYSTEM\")"});
}

TEST_F(Start, SetsUpTheWindowAndTitleWithoutArchive) {
  host->results["lbCheckSystemName"] = 1;
  // The engine's set-up between the window and the title creates images, sprites and fonts;
  // any non-null handle will do for a host that only records.
  for (const char* create : {"lbtsCreateImage", "lbtsCreateSprite", "lbCreateChar"})
    host->results[create] = 1;
  EXPECT_EQ(start(0), 1);
  std::vector<std::string> expected = {"lbCheckSystemName(\"MOSSLINE_ORVANE_SYSTEM\")",
                                       "lbIsFileExist(\"derizi.dat\")"};
  for (const auto& call : WindowSetUp()) expected.push_back(call);
  ASSERT_GE(host->calls.size(), expected.size());
  EXPECT_EQ(std::vector<std::string>(host->calls.begin(), host->calls.begin() + expected.size()),
            expected);
  // The game's own title follows the set-up of the engine.
  const std::string title = "lbSetTitle(\"" + std::string(kBuild.windowTitle) + "\")";
  EXPECT_NE(std::find(host->calls.begin() + expected.size(), host->calls.end(), title),
            host->calls.end());
  EXPECT_EQ(gScreenWidth, 800);
  EXPECT_EQ(gScreenHeight, 600);
}

TEST_F(Start, RegistersTheDataArchiveWhenPresent) {
  host->results["lbCheckSystemName"] = 1;
  host->results["lbIsFileExist"] = 1;
  EXPECT_EQ(start(0), 1);
  ASSERT_GE(host->calls.size(), 3u);
  EXPECT_EQ(host->calls[1], "lbIsFileExist(\"derizi.dat\")");
  EXPECT_EQ(host->calls[2], "lbSetDataFile(\"derizi.dat\")");
}

TEST(BuildConstants, FirstCollection) {
#ifndef ORVANE_SECOND_BUILD
  EXPECT_EQ(std::string(kBuild.windowTitle), Sjis("朧月法廷１"));
  EXPECT_STREQ(kBuild.menuFolder, "scn/menu1");
  EXPECT_STREQ(kBuild.saveName, "derizi1");
  EXPECT_STREQ(kBuild.titleBackground, "sys/title_bg");
  EXPECT_STREQ(kBuild.selectionBackground, "sys/bg_select");
  EXPECT_STREQ(kBuild.episodeFolders[0], "scn/maid");
  EXPECT_STREQ(kBuild.episodeFolders[1], "scn/kigae");
  EXPECT_STREQ(kBuild.episodeFolders[2], "scn/tabako");
#else
  EXPECT_EQ(std::string(kBuild.windowTitle), Sjis("朧月法廷２"));
  EXPECT_STREQ(kBuild.menuFolder, "scn/menu2");
  EXPECT_STREQ(kBuild.saveName, "derizi2");
  EXPECT_STREQ(kBuild.titleBackground, "sys/title2_bg");
  EXPECT_STREQ(kBuild.selectionBackground, "sys/bg_select2");
  EXPECT_STREQ(kBuild.episodeFolders[1], "scn/tosho");
  EXPECT_STREQ(kBuild.episodeFolders[2], "scn/hushigi");
#endif
  EXPECT_STREQ(kSystemName, "MOSSLINE_ORVANE_SYSTEM");
}
