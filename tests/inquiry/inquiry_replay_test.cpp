// Testimonies and cross-examinations through whole runs: which statement and buttons are up
// at each page wait, which reactions play, where a run ends, and every message an inquiry
// file, a steering command or a reaction can bring about.
#include "inquiry_fixture.h"

namespace fs = std::filesystem;

namespace {

const char* const kClick = "click 400 300";
const std::string kTitleSound = "sys/se/証言開始.wav";
const std::string kShout = "sys/se/異議あり.wav";

std::string Marker(const std::string& name) { return "scn/inq_cross/" + name + ".wav"; }

}  // namespace

TEST_F(InquiryReplay, NoVisibleStatement_ShowsOnlyTheTitleAndReturns) {
  ASSERT_EQ(Play("inq_empty", {"shot title", kClick, kClick}), 0);
  EXPECT_EQ(Boxes(), std::vector<std::string>{});
  // The cross-examination's logo; the scenario goes on after one page.
  EXPECT_EQ(SeenAt(Shot("title"), 400, 300), Seen::Purple);
  EXPECT_EQ(Sounds(), (std::vector<std::string>{kTitleSound, "sys/se/chime.wav"}));
}

TEST_F(InquiryReplay, Testimony_ShowsEveryVisibleStatementOnceWithoutButtons) {
  ASSERT_EQ(Play("inq_testimony", {"shot title", kClick, "shot first", kClick, "shot second",
                                   kClick, "shot after", kClick}),
            0);
  EXPECT_EQ(Boxes(), std::vector<std::string>{});
  EXPECT_EQ(SeenAt(Shot("title"), 400, 300), Seen::Orange);
  const auto first = Shot("first");
  EXPECT_EQ(Witness(first), Seen::Red);
  EXPECT_FALSE(RightButton(first) || PressButton(first) || PresentButton(first));
  // Statement 1 stays hidden; 2 was made visible by its second section line.
  EXPECT_EQ(Witness(Shot("second")), Seen::Cyan);
  EXPECT_EQ(Witness(Shot("after")), Seen::Other);  // faded to black before the scenario goes on
  EXPECT_TRUE(matchesGolden(Shot("first"), "inquiry_testimony"));
  EXPECT_EQ(Sounds(), (std::vector<std::string>{kTitleSound, "sys/se/chime.wav"}));
}

TEST_F(InquiryReplay, CrossExamination_PressPagePresentAndTheEndOfTheStatements) {
  ASSERT_EQ(Play("inq_cross",
                 {kClick,
                  "shot s0", "key Z", kClick,   // press 0: the next visible one is 2
                  "shot s2", "key Z", kClick,   // press 2 shows 1 and 3; 2 is the last: again
                  "shot again", "key Left",     // 1 lies between the first and last: reachable
                  "shot s1", "key Right",
                  "key Right", kClick,          // past the last: its end, then a new pass
                  "shot pass2", "key X", "key Z", kClick,  // present where nothing is asked
                  "shot missed", "key Right", "key Right", "key Right",
                  "shot s3", "key Right", kClick,  // the end of 3 exits
                  kClick}),
            0);
  EXPECT_EQ(Boxes(), std::vector<std::string>{});

  const auto s0 = Shot("s0");
  EXPECT_EQ(Witness(s0), Seen::Red);
  EXPECT_FALSE(LeftButton(s0));
  EXPECT_TRUE(RightButton(s0) && PressButton(s0) && PresentButton(s0));
  EXPECT_TRUE(matchesGolden(s0, "inquiry_statement"));
  const auto s2 = Shot("s2");
  EXPECT_EQ(Witness(s2), Seen::White);
  EXPECT_TRUE(LeftButton(s2) && RightButton(s2));
  EXPECT_EQ(Witness(Shot("again")), Seen::White);
  EXPECT_EQ(Witness(Shot("s1")), Seen::Cyan);
  EXPECT_EQ(Witness(Shot("pass2")), Seen::Red);
  EXPECT_FALSE(LeftButton(Shot("pass2")));
  EXPECT_EQ(Witness(Shot("missed")), Seen::Red);  // a miss stays on the statement
  EXPECT_EQ(Witness(Shot("s3")), Seen::Green);    // shown by the press, reached in pass two

  EXPECT_EQ(Sounds(), (std::vector<std::string>{
                          kTitleSound,
                          kShout, "sys/voice/bengo_matta.wav", Marker("press"),
                          kShout, "sys/voice/bengo_matta.wav", Marker("grow"),
                          Marker("end"),
                          // No `@confront item`: "igi" and the empty miss target, which is the
                          // sub-scenario from its first line.
                          kShout, "sys/voice/bengo_igi.wav", Marker("top"),
                          Marker("last"), Marker("after")}));
}

TEST_F(InquiryReplay, RightEvidence_KuraeThenTheReactionsExitEndsTheCallingScenario) {
  ASSERT_EQ(Play("inq_exit_sub", {kClick, "key X", "key Z", kClick, kClick}), 0);
  EXPECT_EQ(Boxes(), std::vector<std::string>{});
  // The line after @inquiryRun never runs.
  EXPECT_EQ(Sounds(), (std::vector<std::string>{kTitleSound, kShout, "sys/voice/bengo_kurae.wav",
                                                "sys/se/ping.wav"}));
}

// ---- Messages ---------------------------------------------------------------------------

class InquiryMessages : public InquiryReplay {
 protected:
  // A game of the test games' system pictures and one scenario folder "e" of the given files.
  std::vector<std::string> Run(const std::vector<std::pair<std::string, std::string>>& files,
                               const std::vector<std::string>& actions = {}) {
    const fs::path game = dir / "game";
    fs::remove_all(game);
    fs::create_directories(game / "scn" / "e");
    fs::copy(fs::path(TEST_GAMES_DIR) / "scenarios" / "sys", game / "sys",
             fs::copy_options::recursive);
    for (const auto& [name, text] : files) std::ofstream(game / "scn" / "e" / name) << text;
    EXPECT_EQ(Play("e", actions, game.string()), 0);
    return Boxes();
  }
  // A one-line scenario running bad.inq with the given text.
  std::vector<std::string> RunFile(const std::string& inquiry) {
    return Run({{"start.scn", "@inquiryRun file=bad\n"}, {"bad.inq", inquiry}});
  }
  using Boxes_ = std::vector<std::string>;
};

const std::string kInq = "scn/e/bad.inq";
const std::string kStart = "scn/e/start.scn";

TEST_F(InquiryMessages, InquiryFile_ErrorsNameTheFileAndItsLine) {
  EXPECT_EQ(RunFile("@info title=x\n\n@section no=-1\n"),
            Boxes_{Box(kInq, 3, "コマンド@sectionが認識できません。")});
  // A number past the bound is refused like a negative one, before anything is allocated.
  EXPECT_EQ(RunFile("@section no=10001\n"),
            Boxes_{Box(kInq, 1, "コマンド@sectionが認識できません。")});
  EXPECT_EQ(RunFile("@section\n"), Boxes_{Box(kInq, 1, "コマンド@sectionが認識できません。")});
  EXPECT_EQ(RunFile("@section no=0\n@img file=a colour=red\n"),
            Boxes_{Box(kInq, 2, "コマンド@imgのcolourオプションが認識できません。")});
  EXPECT_EQ(RunFile("@speech value=x\n"), Boxes_{Box(kInq, 1, "コマンド@speechが認識できません。")});
  EXPECT_EQ(RunFile("@section no=0 enable\n@voice file=x\n"),
            Boxes_{Box(kInq, 2, "コマンド@voiceが認識できません。")});
  // A file that is not there is named from the scenario line that asked for it.
  EXPECT_EQ(Run({{"start.scn", "@testimonyRun file=none\n"}}),
            Boxes_{Box(kStart, 1, "ファイル \"scn/e/none.inq\" が開けません。")});
}

// An empty "no" reads as statement 0, which then plays; a "no" left out is refused (above).
TEST_F(InquiryMessages, InquiryFile_EmptySectionNumberIsStatementZero) {
  EXPECT_EQ(Run({{"start.scn", "@testimonyRun file=t\n"},
                 {"t.inq", "@section enable no=\n@img file=chara_red\n@speech value=x\n"}},
                {kClick, "shot statement", kClick}),
            Boxes_{});
  EXPECT_EQ(Witness(Shot("statement")), Seen::Red);
}

TEST_F(InquiryMessages, RunCommands_NeedAFileAndAreNamedTogether) {
  EXPECT_EQ(Run({{"start.scn", "@inquiryRun bgm=x\n"}}),
            Boxes_{Box(kStart, 1, "コマンド@inquiryRun/@testimonyRunが認識できません。")});
  EXPECT_EQ(Run({{"start.scn", "@testimonyRun file=x loud\n"}}),
            Boxes_{Box(kStart, 1, "コマンド@inquiryRun/@testimonyRunのloudオプションが認識できません。")});
}

TEST_F(InquiryMessages, SteeringCommands_OnlyInsideAnInquiry) {
  EXPECT_EQ(Run({{"start.scn", "\n@inquiryExit\n"}}),
            Boxes_{Box(kStart, 2, "@inquiryExitコマンドは尋問シナリオ中でのみ使用可能です")});
  EXPECT_EQ(Run({{"start.scn", "@inquiryRewind\n"}}),
            Boxes_{Box(kStart, 1, "@inquiryRewindコマンドは尋問シナリオ中でのみ使用可能です")});
  EXPECT_EQ(Run({{"start.scn", "@inquiryEnableSpeech no=0\n"}}),
            Boxes_{Box(kStart, 1, "@inquiryEnableSpeechコマンドは尋問シナリオ中でのみ使用可能です")});
  EXPECT_EQ(Run({{"start.scn", "@inquiryDisableSpeech no=0\n"}}),
            Boxes_{Box(kStart, 1, "@inquiryDisableSpeechコマンドは尋問シナリオ中でのみ使用可能です")});
}

TEST_F(InquiryMessages, Reactions_ErrorsNameTheSubScenario) {
  const std::pair<std::string, std::string> start{"start.scn", "@inquiryRun file=bad\n"};
  const std::pair<std::string, std::string> inquiry{
      "bad.inq", "@info subscn=react\n@section no=0 enable\n@img file=chara_red\n@shake target=p\n"};
  const std::vector<std::string> press = {kClick, "key Z"};
  const std::string react = "scn/e/react.scn";
  EXPECT_EQ(Run({start, inquiry, {"react.scn", ":p\n@testimonyRun file=bad\n"}}, press),
            Boxes_{Box(react, 2, "@inquiryRun/@testimonyRunコマンドは通常シナリオ中でのみ使用可能です")});
  EXPECT_EQ(Run({start, inquiry, {"react.scn", ":p\n@inquiryEnableSpeech no=1\n"}}, press),
            Boxes_{Box(react, 2, "@inquiryEnableSpeechで指定されたno = \"1\" は無効です")});
  EXPECT_EQ(Run({start, inquiry, {"react.scn", ":p\n@inquiryDisableSpeech no=-1\n"}}, press),
            Boxes_{Box(react, 2, "コマンド@inquiryDisableSpeechが認識できません。")});
  // A label the sub-scenario lacks is looked up for the inquiry file.
  EXPECT_EQ(Run({start, inquiry, {"react.scn", ":q\n"}}, press),
            Boxes_{Box(kInq, 4, "ジャンプ先ラベル \"p\" が見つかりません。")});
  // Once the reaction is over, errors name the inquiry file again.
  EXPECT_EQ(Run({start,
                 {"bad.inq", inquiry.second + "@section no=1 enable\n@img file=nothing\n"},
                 {"react.scn", ":p\n@return\n"}},
                press),
            Boxes_{Box(kInq, 0, "ファイル \"sys/nothing.spr\" が開けません。")});
}
