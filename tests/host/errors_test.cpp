// Error reports: the exact Shift-JIS texts in the message box, the caption, the log, the
// unwinding, and the error context's file name.
#include <gtest/gtest.h>
#include <wincompat.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

#include "host/errors.h"
#include "host_fixture.h"

namespace {

class ErrorReport : public BoundCore {
 protected:
  void SetUp() override {
    BoundCore::SetUp();
    SetErrorFile("scn/test/start.scn");
    gErrorLine = 12;
  }

  // Runs a reporting call, which must end the game, and returns the one message shown.
  std::string Shown(const std::function<void()>& report) {
    EXPECT_THROW(report(), DExceptGame);
    EXPECT_EQ(host->messages.size(), 1u);
    EXPECT_EQ(host->captions.size(), 1u);
    if (host->messages.size() != 1) return "";
    EXPECT_EQ(host->captions[0], "Orvane System");
    EXPECT_EQ(host->calls.back(), "lbMessage(\"" + host->messages[0] + "\",\"Orvane System\",0)");
    return host->messages[0];
  }

  const std::string where = "ファイル \"scn/test/start.scn\"\n行数 12\n\n";
};

}  // namespace

TEST_F(ErrorReport, EachFixedMessageNamesFileAndLine) {
  EXPECT_EQ(Shown([] { BadCommand("@foo"); }), Sjis(where + "コマンド@fooが認識できません。"));
  host->reset();
  EXPECT_EQ(Shown([] { BadOption("@goto", "targ"); }),
            Sjis(where + "コマンド@gotoのtargオプションが認識できません。"));
  host->reset();
  EXPECT_EQ(Shown([] { BadTag("rubi"); }), Sjis(where + "タグ[rubi]が認識できません。"));
  host->reset();
  EXPECT_EQ(Shown([] { BadTagOption("color", "rgb"); }),
            Sjis(where + "タグ[color]のrgbオプションが認識できません。"));
  host->reset();
  EXPECT_EQ(Shown([] { NotRecognised("leftish"); }), Sjis(where + "leftishが認識できません。"));
}

TEST_F(ErrorReport, ScriptErrorFormatsTheCallersMessageUnderFileAndLine) {
  std::string format = Sjis("ラベル \"%s\" が見つかりません。");
  EXPECT_EQ(Shown([&] { ScriptError(format.c_str(), "start:x"); }),
            Sjis(where + "ラベル \"start:x\" が見つかりません。"));
}

TEST_F(ErrorReport, FatalShowsTheTextAsFormatted) {
  EXPECT_EQ(Shown([] { Fatal("%s %d", "abc", -3); }), "abc -3");
}

TEST_F(ErrorReport, WarnShowsAndReturns) {
  EXPECT_NO_THROW(Warn("%s", "careful"));
  ASSERT_EQ(host->messages.size(), 1u);
  EXPECT_EQ(host->messages[0], "careful");
}

TEST_F(ErrorReport, AbortEndsTheGameWithoutAMessage) {
  EXPECT_THROW(Abort(), DExceptGame);
  EXPECT_TRUE(host->calls.empty());
}

TEST_F(ErrorReport, LongFileNameIsShownCutTo263Bytes) {
  std::string name(300, 'a');
  name.replace(0, 4, "scn/");
  SetErrorFile(name.c_str());
  EXPECT_EQ(gErrorLine, 0);
  std::string shown = Shown([] { BadTag("x"); });
  EXPECT_EQ(shown, Sjis("ファイル \"" + name.substr(0, 263) + "\"\n行数 0\n\nタグ[x]が認識できません。"));
}

TEST_F(ErrorReport, FileNameIsNeverCutInsideADoubleByteCharacter) {
  // 262 single bytes, then a double-byte character that would straddle the limit.
  std::string name(262, 'b');
  name += Sjis("表");
  SetErrorFile(name.c_str());
  EXPECT_EQ(std::string(gErrorFile), std::string(262, 'b'));
}

TEST_F(ErrorReport, OverlongMessageIsCutWithoutOverrun) {
  std::string option(5000, 'o');
  std::string shown = Shown([&] { BadOption("@x", option.c_str()); });
  EXPECT_EQ(shown.size(), 4095u);
  EXPECT_EQ(shown.rfind(Sjis(where + "コマンド@xの"), 0), 0u);
}

TEST_F(ErrorReport, MessageGoesToTheLogAfterALineFeed) {
  char path[] = "/tmp/orvane-errors-XXXXXX";
  int fd = mkstemp(path);
  ASSERT_GE(fd, 0);
  close(fd);
  ASSERT_NE(compatSetDebugLogFile(path), 0);
  EXPECT_THROW(BadTag("y"), DExceptGame);
  compatSetDebugLogFile(nullptr);
  std::ifstream in(path, std::ios::binary);
  std::stringstream log;
  log << in.rdbuf();
  std::remove(path);
  EXPECT_EQ(log.str(), "\n" + Sjis(where + "タグ[y]が認識できません。"));
}
