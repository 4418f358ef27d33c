// The dispatcher: the flow commands of the game's table, and the reading rules every row
// follows (kinds, defaults, positional and required values, modes, unknown and empty option
// names, the names errors use), pinned down on rows made for the test.
#include <gtest/gtest.h>

#include <string>

#include "scenario_fixture.h"

namespace {

// The state of the current scenario right after one line was dispatched in a run.
class Flow : public ScenarioTest {
 protected:
  Scenario After(const std::string& utf8Line, int mode = kNormalScenario) {
    AddFile("scn/t/line.scn", {utf8Line});
    onCommand = [this](const char* line, int m) {
      DispatchCommand(line, m);
      after = *CurrentScenario();
      CurrentScenario()->exitRequested = true;  // the line alone is under test, not the jump
    };
    Scenario scenario;
    Jump(scenario, "line:");
    RunLines(scenario, mode);
    return after;
  }
  Scenario after;
};

CommandArgs gArgs;
int gRuns = 0;
void Remember(const CommandArgs& args) {
  gArgs = args;
  ++gRuns;
}

constexpr OptionRule kShowOptions[] = {
    {"", OptionKind::Integer, 0, "", true, false, true},  // the item number
    {"right", OptionKind::Flag},
    {"file", OptionKind::Text, 264},
    {"line", OptionKind::Text, 256},
    {"x", OptionKind::Integer, 0, "-180"},
    {"speed", OptionKind::Float, 0, "500.0"},
};
constexpr OptionRule kLifeOptions[] = {{"", OptionKind::Integer, 0, "", true, true, true}};
constexpr OptionRule kRunOptions[] = {{"file", OptionKind::Text, 264, "", true}, {"bgm", OptionKind::Text, 264}};
constexpr OptionRule kSpeechOptions[] = {{"no", OptionKind::Integer, 0, "", true, true}};
constexpr OptionRule kNameOptions[] = {{"", OptionKind::Text, 264, "", false, false, true}};
constexpr OptionRule kBackOptions[] = {{"wipe", OptionKind::Flag}};

const CommandRow kRows[] = {
    {"@show", kShowOptions, Remember},
    {"@courtSetLife", kLifeOptions, Remember},
    {"@inquiryRun", kRunOptions, Remember, "@inquiryRun/@testimonyRun", ModeRule::NormalOnly,
     kInquiryRunModeMessage, UnknownOptions::SkipEmpty},
    {"@inquiryExit", {}, Remember, nullptr, ModeRule::InquiryOnly, kInquiryExitModeMessage,
     UnknownOptions::SkipEmpty},
    {"@inquiryEnableSpeech", kSpeechOptions, Remember, nullptr, ModeRule::InquiryOnly,
     kEnableSpeechModeMessage, UnknownOptions::SkipEmpty},
    {"@textShowName", kNameOptions, Remember, nullptr, ModeRule::Any, nullptr,
     UnknownOptions::Report, false},
    {"@courtSetJudgeBack", kBackOptions, Remember,
     "@courtSetLawyerBack / @courtSetWitnessBack / @courtSetProsecutorBack / @courtSetJudgeBack / "
     "@courtSetGuideBack"},
    {"@show", {}, Remember},  // never reached: the first row of a name wins
};

class Rows : public ScenarioTest {
 protected:
  void SetUp() override {
    ScenarioTest::SetUp();
    gRuns = 0;
    SetErrorFile("scn/t/rows.scn");
    gErrorLine = 9;
  }
  void Run(const std::string& utf8Line, int mode = kNormalScenario) {
    DispatchCommandWith(kRows, Sjis(utf8Line).c_str(), mode);
  }
  std::string Error(const std::string& utf8Line, int mode = kNormalScenario) {
    std::string message = ErrorOf([&] { Run(utf8Line, mode); });
    EXPECT_EQ(gRuns, 0) << "the operation ran despite the error";
    return message;
  }
  static std::string Context(const std::string& utf8Message) {
    return InContext("scn/t/rows.scn", 9, utf8Message);
  }
};

}  // namespace

TEST_F(Flow, GotoSetsTheJumpTarget) {
  EXPECT_STREQ(After("@goto target=start:x").jumpTarget, "start:x");
}

TEST_F(Flow, GotoIgnoresCaseOfCommandAndOption) {
  EXPECT_STREQ(After("@GOTO Target=start:x").jumpTarget, "start:x");
  EXPECT_STREQ(After("@GoTo TARGET = \"start:x\"").jumpTarget, "start:x");
}

TEST_F(Flow, GotoWithoutTargetDoesNothing) {
  Scenario s = After("@goto");
  EXPECT_STREQ(s.jumpTarget, "");
  EXPECT_FALSE(s.exitRequested);
}

TEST_F(Flow, GotoPassesOverNamesItDoesNotKnow) {
  EXPECT_STREQ(After("@goto foo=1").jumpTarget, "");
  EXPECT_STREQ(After("@goto bar target=x baz=\"a b\" ").jumpTarget, "x");
}

TEST_F(Flow, GotoTargetIsCutTo263Bytes) {
  EXPECT_EQ(std::string(After("@goto target=" + std::string(400, 'x')).jumpTarget).size(), 263u);
}

TEST_F(Flow, ExitStopsWithItsResultCode) {
  Scenario s = After("@exit rescode=\"guilty verdict\"");
  EXPECT_TRUE(s.exitRequested);
  EXPECT_STREQ(s.result, "guilty verdict");
}

TEST_F(Flow, ExitWithoutResultCodeLeavesTheResultEmpty) {
  Scenario s = After("@exit other=1 ");
  EXPECT_TRUE(s.exitRequested);
  EXPECT_STREQ(s.result, "");
}

TEST_F(Flow, ExitResultIsCutTo255Bytes) {
  EXPECT_EQ(std::string(After("@exit rescode=" + std::string(300, 'r')).result).size(), 255u);
}

TEST_F(Flow, ReturnSetsItsFlagOnly) {
  Scenario s = After("@return");
  EXPECT_TRUE(s.returnRequested);
  EXPECT_FALSE(s.exitRequested);
  EXPECT_TRUE(After("@Return", kInquiryScenario).returnRequested);
}

TEST_F(Flow, ReturnReportsAnOptionItDoesNotTake) {
  std::string message = ErrorOf([&] { After("@return later"); });
  EXPECT_EQ(message, InContext("scn/t/line.scn", 1, "コマンド@returnのlaterオプションが認識できません。"));
}

TEST_F(Flow, ReturnReportsTheEmptyNameOfTrailingBlanks) {
  std::string message = ErrorOf([&] { After("@return "); });
  EXPECT_EQ(message, InContext("scn/t/line.scn", 1, "コマンド@returnのオプションが認識できません。"));
}

TEST_F(Flow, UnknownCommandIsReportedAsWritten) {
  std::string message = ErrorOf([&] { After("@Gotox target=x"); });
  EXPECT_EQ(message, InContext("scn/t/line.scn", 1, "コマンド@Gotoxが認識できません。"));
  message = ErrorOf([&] { After("@ target=x"); });
  EXPECT_EQ(message, InContext("scn/t/line.scn", 1, "コマンド@が認識できません。"));
}

TEST_F(Flow, APrefixOfACommandIsNotThatCommand) {
  std::string message = ErrorOf([&] { After("@sprRend"); });
  EXPECT_EQ(message, InContext("scn/t/line.scn", 1, "コマンド@sprRendが認識できません。"));
}

TEST(CommandTable, RowsFitTheDispatcher) {
  for (const CommandRow& row : CommandTable()) {
    EXPECT_LE(row.options.size(), kMaxCommandOptions) << row.name;
    for (std::size_t i = 0; i < row.options.size(); ++i) {
      EXPECT_TRUE(!row.options[i].positional || i == 0) << row.name;
      if (row.options[i].kind == OptionKind::Text) {
        EXPECT_GT(row.options[i].textSize, 0u) << row.name;
      }
    }
  }
}

TEST_F(Rows, DefaultsWhenNothingIsWritten) {
  Run("@show 3");
  ASSERT_EQ(gRuns, 1);
  EXPECT_EQ(gArgs.Integer(0), 3);
  EXPECT_FALSE(gArgs.Flag(1));
  EXPECT_STREQ(gArgs.Text(2), "");
  EXPECT_EQ(gArgs.Integer(4), -180);
  EXPECT_FLOAT_EQ(gArgs.Real(5), 500.0f);
  EXPECT_FALSE(gArgs.Given(4));
}

TEST_F(Rows, EachKindReadsItsValue) {
  Run("@SHOW 12 Right=ignored file=\"a b\\\"c\" x = 42 speed=0.25");
  ASSERT_EQ(gRuns, 1);
  EXPECT_EQ(gArgs.Integer(0), 12);
  EXPECT_TRUE(gArgs.Flag(1));
  EXPECT_STREQ(gArgs.Text(2), "a b\"c");
  EXPECT_EQ(gArgs.Integer(4), 42);
  EXPECT_FLOAT_EQ(gArgs.Real(5), 0.25f);
  EXPECT_TRUE(gArgs.Given(4));
}

TEST_F(Rows, TextIsCutToItsOwnSize) {
  Run("@show 1 file=" + std::string(300, 'f') + " line=" + std::string(300, 'l'));
  EXPECT_EQ(std::string(gArgs.Text(2)).size(), 263u);
  EXPECT_EQ(std::string(gArgs.Text(3)).size(), 255u);
}

TEST_F(Rows, LaterOptionOfTheSameNameWins) {
  Run("@show 1 x=1 x=2");
  EXPECT_EQ(gArgs.Integer(4), 2);
}

TEST_F(Rows, MissingPositionalArgumentIsAnUnknownCommand) {
  EXPECT_EQ(Error("@show"), Context("コマンド@showが認識できません。"));
  EXPECT_EQ(Error("@show "), Context("コマンド@showが認識できません。"));
}

TEST_F(Rows, NegativeWhereNotAllowedIsAnUnknownCommand) {
  EXPECT_EQ(Error("@courtSetLife"), Context("コマンド@courtSetLifeが認識できません。"));
  EXPECT_EQ(Error("@courtSetLife -1"), Context("コマンド@courtSetLifeが認識できません。"));
  Run("@courtSetLife 0");
  EXPECT_EQ(gRuns, 1);
  EXPECT_EQ(gArgs.Integer(0), 0);
}

TEST_F(Rows, RequiredOptionMissingIsAnUnknownCommand) {
  EXPECT_EQ(Error("@inquiryRun bgm=x"),
            Context("コマンド@inquiryRun/@testimonyRunが認識できません。"));
  EXPECT_EQ(Error("@inquiryEnableSpeech", kInquiryScenario),
            Context("コマンド@inquiryEnableSpeechが認識できません。"));
  EXPECT_EQ(Error("@inquiryEnableSpeech no=-2", kInquiryScenario),
            Context("コマンド@inquiryEnableSpeechが認識できません。"));
}

TEST_F(Rows, UnknownOptionIsReportedUnderTheRowsReportName) {
  EXPECT_EQ(Error("@show 1 left"), Context("コマンド@showのleftオプションが認識できません。"));
  EXPECT_EQ(Error("@inquiryRun file=a loop=1"),
            Context("コマンド@inquiryRun/@testimonyRunのloopオプションが認識できません。"));
  EXPECT_EQ(Error("@courtSetJudgeBack fast"),
            Context("コマンド@courtSetLawyerBack / @courtSetWitnessBack / @courtSetProsecutorBack / "
                    "@courtSetJudgeBack / @courtSetGuideBackのfastオプションが認識できません。"));
}

TEST_F(Rows, EmptyNameAfterTheNumberIsReportedByEarlyCommands) {
  EXPECT_EQ(Error("@show 1 right "), Context("コマンド@showのオプションが認識できません。"));
}

TEST_F(Rows, EmptyNameIsPassedOverByLaterCommands) {
  Run("@inquiryRun file=a\t　");
  EXPECT_EQ(gRuns, 1);
  EXPECT_STREQ(gArgs.Text(0), "a");
}

TEST_F(Rows, ModeRulesGiveTheirOwnMessages) {
  EXPECT_EQ(Error("@inquiryRun file=a", kInquiryScenario),
            Context("@inquiryRun/@testimonyRunコマンドは通常シナリオ中でのみ使用可能です"));
  EXPECT_EQ(Error("@inquiryExit"), Context("@inquiryExitコマンドは尋問シナリオ中でのみ使用可能です"));
  EXPECT_EQ(Error("@inquiryEnableSpeech no=1"),
            Context("@inquiryEnableSpeechコマンドは尋問シナリオ中でのみ使用可能です"));
  Run("@inquiryExit", kInquiryScenario);
  EXPECT_EQ(gRuns, 1);
}

TEST_F(Rows, ModeMessagesAreTheSystemsOwnBytes) {
  EXPECT_EQ(std::string(kDisableSpeechModeMessage),
            Sjis("@inquiryDisableSpeechコマンドは尋問シナリオ中でのみ使用可能です"));
  EXPECT_EQ(std::string(kInquiryRewindModeMessage),
            Sjis("@inquiryRewindコマンドは尋問シナリオ中でのみ使用可能です"));
}

TEST_F(Rows, PositionalTextReadsNothingFurther) {
  Run("@textShowName 証人 anything=at all");
  ASSERT_EQ(gRuns, 1);
  EXPECT_EQ(std::string(gArgs.Text(0)), Sjis("証人"));
  Run("@textShowName");
  EXPECT_EQ(gRuns, 2);
  EXPECT_STREQ(gArgs.Text(0), "");
}

TEST_F(Rows, FirstRowOfANameWins) {
  Run("@show 5");
  EXPECT_EQ(gArgs.row, &kRows[0]);
}
