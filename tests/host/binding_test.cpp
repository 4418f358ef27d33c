// The plug-in's exports and the binding of the host system library.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>

#include "host/host_api.h"
#include "host_fixture.h"

TEST(Exports, LibraryExportsExactlyTheSevenEntryPoints) {
  std::string command = std::string("nm -D --defined-only ") + CORE_LIBRARY_PATH;
  FILE* pipe = popen(command.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::set<std::string> names;
  char line[512];
  while (std::fgets(line, sizeof line, pipe)) {
    char type = 0, name[400] = {};
    if (std::sscanf(line, "%*s %c %399s", &type, name) == 2 && (type == 'T' || type == 'W'))
      names.insert(name);
  }
  ASSERT_EQ(pclose(pipe), 0);
  std::set<std::string> expected = {"lbGetFunction", "lbLoadInit",     "lbUnloadExit", "lbGetVersion",
                                    "lbLoadSystem",  "lbUnloadSystem", "start"};
  std::set<std::string> ours;
  for (const auto& name : names)
    if (name.rfind("lb", 0) == 0 || name == "start" || name.find("Fatal") != std::string::npos)
      ours.insert(name);
  EXPECT_EQ(ours, expected);
}

TEST(Exports, FixedAnswers) {
  EXPECT_EQ(lbLoadInit(), 1);
  EXPECT_EQ(lbGetVersion(), 0x0100);
}

TEST(Exports, GetFunction_IndexZeroFillsTheWholeBuffer) {
  char buffer[10];
  std::memset(buffer, 'x', sizeof buffer);
  EXPECT_EQ(lbGetFunction(buffer, sizeof buffer, 0), 5);
  EXPECT_EQ(std::string(buffer, 10), std::string("start\0\0\0\0\0", 10));
}

TEST(Exports, GetFunction_SmallBufferGetsAPrefixWithoutTerminator) {
  char buffer[4] = {'x', 'x', 'x', 'x'};
  EXPECT_EQ(lbGetFunction(buffer, 3, 0), 5);
  EXPECT_EQ(std::string(buffer, 4), "stax");
}

TEST(Exports, GetFunction_OtherIndexWritesNothing) {
  char buffer[8] = "unknown";
  EXPECT_EQ(lbGetFunction(buffer, sizeof buffer, 1), 0);
  EXPECT_EQ(lbGetFunction(buffer, sizeof buffer, -1), 0);
  EXPECT_STREQ(buffer, "unknown");
}

TEST(Binding, BindsEveryFunctionOfTheRecordingHost) {
  ASSERT_EQ(lbLoadSystem(RECORDING_HOST_PATH), 1);
  EXPECT_TRUE(IsHostBound());
  EXPECT_NE(gHost.lbGetWindow, nullptr);       // first of the list
  EXPECT_NE(gHost.lbSendNetString, nullptr);   // last of the list
  EXPECT_EQ(lbUnloadSystem(), 1);
  EXPECT_EQ(gHost.lbGetWindow, nullptr);
}

TEST(Binding, SecondLoadKeepsTheFirstBinding) {
  ASSERT_EQ(lbLoadSystem(RECORDING_HOST_PATH), 1);
  auto first = gHost.lbMessage;
  EXPECT_EQ(lbLoadSystem(RECORDING_HOST_MISSING_PATH), 0);
  EXPECT_EQ(gHost.lbMessage, first);
  EXPECT_TRUE(IsHostBound());
  EXPECT_EQ(lbUnloadSystem(), 1);
}

TEST(Binding, StopsAtTheFirstMissingFunction) {
  ASSERT_EQ(lbLoadSystem(RECORDING_HOST_MISSING_PATH), 0);
  EXPECT_FALSE(IsHostBound());
  // Everything before the gap is bound, the gap and everything after it stays null.
  EXPECT_NE(gHost.lbGetWindow, nullptr);
  EXPECT_NE(gHost.lbtsGetSpriteMap, nullptr);
  EXPECT_EQ(gHost.lbtsSetSpriteMap, nullptr);
  EXPECT_EQ(gHost.lbtsSetSpritePivot, nullptr);
  EXPECT_EQ(gHost.lbSendNetString, nullptr);
  // The library stays loaded, so a further load is refused until it is unloaded.
  EXPECT_EQ(lbLoadSystem(RECORDING_HOST_PATH), 0);
  EXPECT_EQ(lbUnloadSystem(), 1);
  EXPECT_EQ(lbLoadSystem(RECORDING_HOST_PATH), 1);
  EXPECT_EQ(lbUnloadSystem(), 1);
}

TEST(Binding, MissingLibraryFailsAndUnloadWithoutLibraryReturnsZero) {
  EXPECT_EQ(lbLoadSystem("/nonexistent/libhost.so"), 0);
  EXPECT_EQ(lbUnloadSystem(), 0);
}

TEST(Binding, StartWithoutABoundHostDoesNothing) { EXPECT_EQ(start(0), 1); }
