// The music list and the background music stream, against the recording host: which entry a
// name selects, what the stream is given and when it is stopped, and each list error.
#include "sound_fixture.h"

namespace {

using Calls = std::vector<std::string>;

class Bgm : public SoundTest {
 protected:
  Calls StreamCalls() const {
    return CallsTo({"lbCreateStream", "lbAddStreamList", "lbPlayStream", "lbStopStream",
                  "lbDestroyStream"});
  }
  std::string ListError(const std::vector<std::string>& lines) {
    List(lines);
    return ErrorOf([] { loadBgmList(); });
  }
};

const Calls kStartTheme = {"lbCreateStream()", "lbAddStreamList(ptr,\"bgm/t_pre.ogg\",0,0,0)",
                           "lbAddStreamList(ptr,\"bgm/t_body.ogg\",-1,0,0)", "lbPlayStream(ptr)"};
const Calls kStop = {"lbStopStream(ptr)", "lbDestroyStream(ptr)"};

Calls Join(std::initializer_list<Calls> parts) {
  Calls out;
  for (const Calls& part : parts) out.insert(out.end(), part.begin(), part.end());
  return out;
}

TEST_F(Bgm, List_LaterLineForTheSameNumberWins) {
  List({"@bgm no=2 name=first body=a.ogg", "@bgm no=2 name=second prelude=b.ogg"});
  loadBgmList();
  ASSERT_EQ(bgmEntryCount(), 3);
  EXPECT_STREQ(bgmEntry(2)->name, "second");
  EXPECT_STREQ(bgmEntry(2)->prelude, "b.ogg");
  EXPECT_STREQ(bgmEntry(2)->body, "") << "the earlier line's body must not survive";
}

TEST_F(Bgm, List_EqualNamesSelectTheLowerNumber) {
  List({"@bgm no=4 name=Theme body=high.ogg", "@bgm no=1 name=theme body=low.ogg"});
  loadBgmList();
  Clear();
  playBgm("THEME");
  EXPECT_EQ(CallsTo({"lbAddStreamList"}), Calls{"lbAddStreamList(ptr,\"bgm/low.ogg\",-1,0,0)"});
}

TEST_F(Bgm, List_UndefinedNumbersAreGapsNoNameFinds) {
  List({"@bgm no=0 name=a body=a.ogg", "@bgm no=5 name=b body=b.ogg"});
  loadBgmList();
  EXPECT_EQ(bgmEntryCount(), 6);
  for (int n = 1; n <= 4; ++n) EXPECT_STREQ(bgmEntry(n)->name, "") << n;
  EXPECT_EQ(bgmEntry(6), nullptr);
  EXPECT_EQ(ErrorOf([] { playBgm("c"); }), Sjis("BGM \"c\" を再生できません。"));
}

TEST_F(Bgm, List_UpperCaseCommandBlankLinesTrailingBlanksAndQuotesAreAccepted) {
  List({"", "  \t", "@BGM no=0 name=\"night theme\" body=n.ogg   ", "\t@bgm  no=1  name=x"});
  loadBgmList();
  ASSERT_EQ(bgmEntryCount(), 2);
  EXPECT_STREQ(bgmEntry(0)->name, "night theme");
  EXPECT_STREQ(bgmEntry(0)->body, "n.ogg");
  EXPECT_STREQ(bgmEntry(1)->name, "x");
}

TEST_F(Bgm, List_MissingFileLeavesAnEmptyTableSilently) {
  loadBgmList();
  EXPECT_EQ(bgmEntryCount(), 0);
  EXPECT_TRUE(host->messages.empty());
  EXPECT_EQ(CallsTo({"lbCreateFile"}), Calls{});
}

TEST_F(Bgm, List_ACommentLineIsABadCommand) {
  EXPECT_EQ(ListError({"@bgm no=0 name=a", "# the court theme"}),
            Sjis("BGM定義ファイルに不正なコマンド \"#\" が存在します。"));
}

TEST_F(Bgm, List_AnotherCommandIsNamed) {
  EXPECT_EQ(ListError({"@se no=0 name=a"}),
            Sjis("BGM定義ファイルに不正なコマンド \"@se\" が存在します。"));
}

TEST_F(Bgm, List_UnknownOptionIsNamed) {
  EXPECT_EQ(ListError({"@bgm no=0 name=a loop=1"}),
            Sjis("BGM定義ファイルに不正なオプション\"loop\"が存在します"));
}

TEST_F(Bgm, List_MissingNumberNegativeNumberOrNameIsMissingData) {
  const std::string missing = Sjis("BGM定義ファイルにおいてデータが不足しています");
  EXPECT_EQ(ListError({"@bgm name=a body=a.ogg"}), missing);
  EXPECT_EQ(ListError({"@bgm no=-1 name=a"}), missing);
  EXPECT_EQ(ListError({"@bgm no=0 body=a.ogg"}), missing);
  EXPECT_EQ(ListError({"@bgm no=0 name="}), missing);
  EXPECT_EQ(ListError({"@bgm"}), missing);
}

// "no" is read as a number like every other: a value without digits, even an empty one, is
// entry 0. A blank after "no=" does not end it, though: the value is the next option, so
// "no= name=x" leaves the line without its name.
TEST_F(Bgm, List_EmptyNumberIsEntryZeroButTheNextOptionIsNoEmptyValue) {
  for (const char* line : {"@bgm name=first body=a.ogg no=", "@bgm no=\"\" name=first"}) {
    List({line});
    loadBgmList();
    ASSERT_EQ(bgmEntryCount(), 1) << line;
    EXPECT_STREQ(bgmEntry(0)->name, "first") << line;
  }
  EXPECT_EQ(ListError({"@bgm no= name=first body=a.ogg"}),
            Sjis("BGM定義ファイルにおいてデータが不足しています"));
}

TEST_F(Bgm, List_NumberAboveTheBoundIsMissingDataNotAHugeTable) {
  List({"@bgm no=10000 name=last"});
  loadBgmList();
  EXPECT_EQ(bgmEntryCount(), 10001);
  const std::string missing = Sjis("BGM定義ファイルにおいてデータが不足しています");
  EXPECT_EQ(ListError({"@bgm no=10001 name=a"}), missing);
  EXPECT_EQ(ListError({"@bgm no=99999999999 name=a"}), missing);
}

TEST_F(Bgm, List_ErrorsCarryNoScenarioFileAndLine) {
  SetErrorFile("scn/t/start.scn");
  gErrorLine = 7;
  EXPECT_EQ(ListError({"@bgm no=0"}), Sjis("BGM定義ファイルにおいてデータが不足しています"));
}

class BgmPlaying : public Bgm {
 protected:
  void SetUp() override {
    Bgm::SetUp();
    List({"@bgm no=0 name=theme prelude=t_pre.ogg body=t_body.ogg",
          "@bgm no=1 name=quiet", "@bgm no=2 name=intro prelude=i.ogg",
          "@bgm no=3 name=loop body=l.ogg"});
    loadBgmList();
    Clear();
  }
};

TEST_F(BgmPlaying, PreludeOnceThenBodyForEver) {
  playBgm("theme");
  EXPECT_EQ(StreamCalls(), kStartTheme);
  EXPECT_STREQ(selectedBgm(), "theme");
}

TEST_F(BgmPlaying, SelectedNameAgainDoesNotRestart) {
  playBgm("theme");
  Clear();
  playBgm("Theme");
  playBgm("THEME");
  EXPECT_EQ(host->calls, Calls{});
}

TEST_F(BgmPlaying, EmptyNameStopsAndTheSameNameThenStartsFromThePrelude) {
  playBgm("theme");
  playBgm("");
  EXPECT_STREQ(selectedBgm(), "");
  playBgm("");  // nothing left to stop
  playBgm("theme");
  EXPECT_EQ(StreamCalls(), Join({kStartTheme, kStop, kStartTheme}));
}

TEST_F(BgmPlaying, OtherMusicReplacesTheStream) {
  playBgm("theme");
  playBgm("loop");
  EXPECT_EQ(StreamCalls(),
            Join({kStartTheme, kStop,
                  {"lbCreateStream()", "lbAddStreamList(ptr,\"bgm/l.ogg\",-1,0,0)",
                   "lbPlayStream(ptr)"}}));
}

TEST_F(BgmPlaying, PreludeWithoutBodyPlaysOnce) {
  playBgm("intro");
  EXPECT_EQ(StreamCalls(), (Calls{"lbCreateStream()", "lbAddStreamList(ptr,\"bgm/i.ogg\",0,0,0)",
                                  "lbPlayStream(ptr)"}));
}

TEST_F(BgmPlaying, EntryWithoutFilesStopsTheMusicAndIsThenKeptSelected) {
  playBgm("theme");
  playBgm("quiet");
  playBgm("quiet");
  EXPECT_EQ(StreamCalls(), Join({kStartTheme, kStop}));
  EXPECT_STREQ(selectedBgm(), "quiet");
}

TEST_F(BgmPlaying, UnknownNameEndsTheGameNamingIt) {
  EXPECT_EQ(ErrorOf([] { playBgm("finale"); }), Sjis("BGM \"finale\" を再生できません。"));
}

TEST_F(BgmPlaying, ReleaseDestroysTheStreamWithoutStoppingItFirst) {
  playBgm("theme");
  Clear();
  releaseBgm();
  EXPECT_EQ(StreamCalls(), Calls{"lbDestroyStream(ptr)"});
  EXPECT_EQ(bgmEntryCount(), 0);
  EXPECT_STREQ(selectedBgm(), "");
}

TEST_F(BgmPlaying, DispatcherPlaysAndStops) {
  DispatchCommand("@bgmPlay file=theme ", 0);
  DispatchCommand("@BGMPLAY FILE=theme", 0);
  DispatchCommand("@bgmPlay", 0);
  EXPECT_EQ(StreamCalls(), Join({kStartTheme, kStop}));
  EXPECT_EQ(ErrorOf([] { DispatchCommand("@bgmPlay name=theme", 0); }),
            InContext("", 0, "コマンド@bgmPlayのnameオプションが認識できません。"));
}

}  // namespace
