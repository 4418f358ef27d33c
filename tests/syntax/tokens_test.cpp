// The token reader as every script and definition reader uses it: blanks, names, values,
// quoting, escapes, the `]` terminator and two-byte characters whose trail byte looks like
// one of those.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "script/syntax.h"

namespace {

// Shift-JIS bytes used below.
#define FW_BLANK "\x81\x40"  // full-width space
#define SO "\x83\x5C"        // katakana so: trail byte is the backslash byte
#define ZO "\x83\x5D"        // katakana zo: trail byte is the `]` byte
#define HYOU "\x95\x5C"      // kanji: trail byte is the backslash byte

struct Read {
  std::string name;
  std::string value;
  bool hasValue;
  bool ended;
};

// Reads every token of a line the way readers do: until the end flag is set.
std::vector<Read> readAll(const char* line, char terminator = '\0',
                          const char** rest = nullptr) {
  std::vector<Read> tokens;
  const char* cursor = line;
  bool ended = false;
  while (!ended && tokens.size() < 64) {
    char name[1024];
    char value[1024];
    Token token = NextOption(cursor, terminator, ended, name, sizeof name, value, sizeof value);
    tokens.push_back({name, value, token.value != nullptr, ended});
  }
  if (rest != nullptr) *rest = cursor;
  return tokens;
}

TEST(SkipBlanks, StepsOverSpacesTabsAndFullWidthBlanks) {
  const char* line = " \t" FW_BLANK " x";
  const char* cursor = line;
  SkipBlanks(cursor);
  EXPECT_EQ(cursor, line + 5);
}

TEST(SkipBlanks, StopsInFrontOfLineEnds) {
  for (const char* line : {"  \r\n", "  \n", "  "}) {
    const char* cursor = line;
    SkipBlanks(cursor);
    EXPECT_EQ(cursor, line + 2);
  }
}

TEST(SkipBlanks, HalfAFullWidthBlankIsNotABlank) {
  // 0x81 0x41 is a two-byte character that only shares its lead byte with the blank.
  const char* line = "\x81\x41 ";
  const char* cursor = line;
  SkipBlanks(cursor);
  EXPECT_EQ(cursor, line);
}

TEST(SkipToBlank, StopsOnTheBlankAndStepsOverTwoByteCharacters) {
  const char* line = SO "ab" FW_BLANK "c";
  const char* cursor = line;
  SkipToBlank(cursor);
  EXPECT_EQ(cursor, line + 4);
  const char* second = "abc\rdef";
  cursor = second;
  SkipToBlank(cursor);
  EXPECT_EQ(cursor, second + 3);
}

TEST(SkipToBlank, LeadByteBeforeTheLineEndDoesNotSwallowIt) {
  const char* line = "a\x83";
  const char* cursor = line;
  SkipToBlank(cursor);
  EXPECT_EQ(cursor, line + 2);
  EXPECT_EQ(*cursor, '\0');
}

TEST(NextToken, NameAndValueStartsAndLengths) {
  const char* line = "@sprLoad  name=abc no=3";
  const char* cursor = line;
  bool ended = false;
  Token first = NextToken(cursor, '\0', ended);
  EXPECT_EQ(first.name, line);
  EXPECT_EQ(first.nameLength, 8u);
  EXPECT_EQ(first.value, nullptr);
  EXPECT_EQ(first.valueLength, 0u);
  EXPECT_FALSE(ended);
  Token second = NextToken(cursor, '\0', ended);
  EXPECT_EQ(std::string(second.name, second.nameLength), "name");
  EXPECT_EQ(std::string(second.value, second.valueLength), "abc");
  EXPECT_FALSE(ended);
  Token third = NextToken(cursor, '\0', ended);
  EXPECT_EQ(std::string(third.value, third.valueLength), "3");
  EXPECT_TRUE(ended);
}

TEST(NextToken, DoesNothingOnceEnded) {
  const char* line = "a b";
  const char* cursor = line;
  bool ended = true;
  Token token = NextToken(cursor, '\0', ended);
  EXPECT_EQ(cursor, line);
  EXPECT_EQ(token.nameLength, 0u);
  EXPECT_EQ(token.value, nullptr);
}

TEST(NextToken, RawValueKeepsQuotesAndBackslashes) {
  const char* cursor = "a=\"x y\"\\z";
  bool ended = false;
  Token token = NextToken(cursor, '\0', ended);
  EXPECT_EQ(std::string(token.value, token.valueLength), "\"x y\"\\z");
  EXPECT_TRUE(ended);
}

TEST(NextToken, NeverStepsOverALineEnd) {
  const char* line = "a=\"open\rnext";
  const char* cursor = line;
  bool ended = false;
  Token token = NextToken(cursor, '\0', ended);
  EXPECT_TRUE(ended);
  EXPECT_EQ(*cursor, '\r');
  EXPECT_EQ(std::string(token.value, token.valueLength), "\"open");
}

TEST(NextToken, BackslashBeforeTheLineEndStaysInTheValue) {
  const char* line = "a=x\\\nrest";
  const char* cursor = line;
  bool ended = false;
  Token token = NextToken(cursor, '\0', ended);
  EXPECT_TRUE(ended);
  EXPECT_EQ(*cursor, '\n');
  EXPECT_EQ(std::string(token.value, token.valueLength), "x\\");
}

TEST(NextOption, BlanksAroundEqualsAndQuotedBlank) {
  auto tokens = readAll("a = \"x y\"");
  ASSERT_EQ(tokens.size(), 1u);
  EXPECT_EQ(tokens[0].name, "a");
  EXPECT_EQ(tokens[0].value, "x y");
  EXPECT_TRUE(tokens[0].ended);
}

TEST(NextOption, EscapedQuoteStaysAndItsBackslashGoes) {
  auto tokens = readAll("a=\\\"b");
  ASSERT_EQ(tokens.size(), 1u);
  EXPECT_EQ(tokens[0].value, "\"b");
}

TEST(NextOption, EscapedBlankDoesNotEndTheValue) {
  auto tokens = readAll("a=x\\ y b");
  ASSERT_EQ(tokens.size(), 2u);
  EXPECT_EQ(tokens[0].value, "x y");
  EXPECT_EQ(tokens[1].name, "b");
}

TEST(NextOption, FlagOptionsAndValuesMix) {
  auto tokens = readAll("@textShowMessage fast  wait=100 skip");
  ASSERT_EQ(tokens.size(), 4u);
  EXPECT_EQ(tokens[0].name, "@textShowMessage");
  EXPECT_FALSE(tokens[0].hasValue);
  EXPECT_EQ(tokens[1].name, "fast");
  EXPECT_FALSE(tokens[1].hasValue);
  EXPECT_EQ(tokens[2].name, "wait");
  EXPECT_EQ(tokens[2].value, "100");
  EXPECT_EQ(tokens[3].name, "skip");
  EXPECT_TRUE(tokens[3].ended);
}

TEST(NextOption, FlagTokenEmptiesTheValueBuffer) {
  const char* cursor = "skip";
  bool ended = false;
  char name[16];
  char value[16] = "stale";
  Token token = NextOption(cursor, '\0', ended, name, sizeof name, value, sizeof value);
  EXPECT_EQ(token.value, nullptr);
  EXPECT_STREQ(name, "skip");
  EXPECT_STREQ(value, "");
}

TEST(NextOption, EqualsWithNothingAfterItIsAnEmptyValue) {
  auto tokens = readAll("a=");
  ASSERT_EQ(tokens.size(), 1u);
  EXPECT_TRUE(tokens[0].hasValue);
  EXPECT_EQ(tokens[0].value, "");
  EXPECT_TRUE(tokens[0].ended);
}

TEST(NextOption, LineOfBlanksYieldsOneEmptyNameAndTheEndFlag) {
  auto tokens = readAll(" \t" FW_BLANK " ");
  ASSERT_EQ(tokens.size(), 1u);
  EXPECT_EQ(tokens[0].name, "");
  EXPECT_TRUE(tokens[0].ended);
}

TEST(NextOption, TrailingBlanksYieldALastEmptyToken) {
  auto tokens = readAll("a=1 b  ");
  ASSERT_EQ(tokens.size(), 3u);
  EXPECT_EQ(tokens[1].name, "b");
  EXPECT_FALSE(tokens[1].ended);
  EXPECT_EQ(tokens[2].name, "");
  EXPECT_TRUE(tokens[2].ended);
}

TEST(NextOption, FullWidthBlankSeparatesTokens) {
  auto tokens = readAll("a" FW_BLANK "b=1" FW_BLANK "c");
  ASSERT_EQ(tokens.size(), 3u);
  EXPECT_EQ(tokens[0].name, "a");
  EXPECT_EQ(tokens[1].name, "b");
  EXPECT_EQ(tokens[1].value, "1");
  EXPECT_EQ(tokens[2].name, "c");
}

TEST(NextOption, CarriageReturnEndsTheLine) {
  auto tokens = readAll("a=1\r\nb=2");
  ASSERT_EQ(tokens.size(), 1u);
  EXPECT_EQ(tokens[0].value, "1");
  EXPECT_TRUE(tokens[0].ended);
}

TEST(NextOption, MissingClosingQuoteEndsTheValueAtTheLineEnd) {
  auto tokens = readAll("a=\"x y");
  ASSERT_EQ(tokens.size(), 1u);
  EXPECT_EQ(tokens[0].value, "x y");
  EXPECT_TRUE(tokens[0].ended);
}

TEST(NextOption, TrailBytesThatLookLikeBackslashAreNotEscapes) {
  // Were the trail byte taken for a backslash, the closing quote would be escaped and the
  // blank and b would join the value.
  auto tokens = readAll("a=\"" SO "\" b");
  ASSERT_EQ(tokens.size(), 2u);
  EXPECT_EQ(tokens[0].value, SO);
  EXPECT_EQ(tokens[1].name, "b");
  auto names = readAll(HYOU "=" HYOU HYOU " x");
  ASSERT_EQ(names.size(), 2u);
  EXPECT_EQ(names[0].name, HYOU);
  EXPECT_EQ(names[0].value, HYOU HYOU);
}

TEST(NextOption, CutsToTheBufferWithoutSplittingATwoByteCharacter) {
  const char* cursor = "ab" SO "=x" SO "yz";
  bool ended = false;
  char name[4];   // room for 3 bytes: "ab" and not half of SO
  char value[3];  // room for 2 bytes: "x" and not half of SO
  NextOption(cursor, '\0', ended, name, sizeof name, value, sizeof value);
  EXPECT_STREQ(name, "ab");
  EXPECT_STREQ(value, "x");
}

TEST(NextOption, NullBuffersAreSkipped) {
  const char* cursor = "a=1 b=2";
  bool ended = false;
  Token token = NextOption(cursor, '\0', ended, nullptr, 0, nullptr, 0);
  EXPECT_EQ(token.nameLength, 1u);
  EXPECT_FALSE(ended);
}

TEST(NextOption_Terminator, NameRightBeforeTheTerminator) {
  const char* rest = nullptr;
  auto tokens = readAll("br]after", ']', &rest);
  ASSERT_EQ(tokens.size(), 1u);
  EXPECT_EQ(tokens[0].name, "br");
  EXPECT_TRUE(tokens[0].ended);
  EXPECT_STREQ(rest, "after");  // the reader goes on behind the tag
}

TEST(NextOption_Terminator, QuotedTerminatorIsPartOfTheValue) {
  const char* rest = nullptr;
  auto tokens = readAll("c=\"]\"]tail", ']', &rest);
  ASSERT_EQ(tokens.size(), 1u);
  EXPECT_EQ(tokens[0].name, "c");
  EXPECT_EQ(tokens[0].value, "]");
  EXPECT_TRUE(tokens[0].ended);
  EXPECT_STREQ(rest, "tail");
}

TEST(NextOption_Terminator, EscapedTerminatorIsPartOfTheValue) {
  auto tokens = readAll("link target=a\\]b]", ']');
  ASSERT_EQ(tokens.size(), 2u);
  EXPECT_EQ(tokens[1].value, "a]b");
  EXPECT_TRUE(tokens[1].ended);
}

TEST(NextOption_Terminator, ValueEndsAtTheTerminator) {
  const char* rest = nullptr;
  auto tokens = readAll("w 100]text", ']', &rest);
  ASSERT_EQ(tokens.size(), 2u);
  EXPECT_EQ(tokens[0].name, "w");
  EXPECT_FALSE(tokens[0].ended);
  EXPECT_EQ(tokens[1].name, "100");
  EXPECT_TRUE(tokens[1].ended);
  EXPECT_STREQ(rest, "text");
  auto link = readAll("link target=T]x", ']', &rest);
  ASSERT_EQ(link.size(), 2u);
  EXPECT_EQ(link[1].value, "T");
  EXPECT_STREQ(rest, "x");
}

TEST(NextOption_Terminator, BlankBeforeTheTerminatorYieldsAnEmptyLastToken) {
  const char* rest = nullptr;
  auto tokens = readAll("np ]x", ']', &rest);
  ASSERT_EQ(tokens.size(), 2u);
  EXPECT_EQ(tokens[1].name, "");
  EXPECT_TRUE(tokens[1].ended);
  EXPECT_STREQ(rest, "x");
}

TEST(NextOption_Terminator, TrailByteThatLooksLikeTheTerminatorDoesNotEndTheTag) {
  auto tokens = readAll("link target=" ZO "x]", ']');
  ASSERT_EQ(tokens.size(), 2u);
  EXPECT_EQ(tokens[1].value, ZO "x");
  auto names = readAll(ZO "]", ']');
  ASSERT_EQ(names.size(), 1u);
  EXPECT_EQ(names[0].name, ZO);
}

TEST(NextOption_Terminator, WithoutATerminatorTheBracketIsOrdinary) {
  auto tokens = readAll("a=x]y");
  ASSERT_EQ(tokens.size(), 1u);
  EXPECT_EQ(tokens[0].value, "x]y");
}

TEST(NextOption_Terminator, MissingTerminatorEndsAtTheLineEnd) {
  const char* rest = nullptr;
  auto tokens = readAll("w 100", ']', &rest);
  ASSERT_EQ(tokens.size(), 2u);
  EXPECT_TRUE(tokens[1].ended);
  EXPECT_EQ(*rest, '\0');
}

TEST(UnquoteValue, RemovesQuotesAndEscapingBackslashes) {
  char value[64] = "\"a b\"c\\\\d\\\"e";
  UnquoteValue(value, sizeof value);
  EXPECT_STREQ(value, "a bc\\d\"e");
}

TEST(UnquoteValue, KeepsTwoByteCharactersWhoseTrailLooksLikeABackslash) {
  char value[64] = SO "\\" HYOU "\"" SO "\"";
  UnquoteValue(value, sizeof value);
  EXPECT_STREQ(value, SO HYOU SO);
}

TEST(UnquoteValue, StopsAtTheLineEnd) {
  char value[64] = "a\"b\rc\"d";
  UnquoteValue(value, sizeof value);
  EXPECT_STREQ(value, "ab");
}

TEST(UnquoteValue, UnterminatedBufferIsCutInsideItsSize) {
  char value[4] = {'a', 'b', 'c', 'd'};
  UnquoteValue(value, sizeof value);
  EXPECT_STREQ(value, "abc");
  char fits[4] = {'a', '\x83', '\x5C', 'x'};
  UnquoteValue(fits, sizeof fits);
  EXPECT_STREQ(fits, "a" SO);
  char split[4] = {'a', 'b', '\x83', '\x5C'};  // the character at the end would not fit
  UnquoteValue(split, sizeof split);
  EXPECT_STREQ(split, "ab");
}

TEST(CopyText, CutsAtACharacterBoundaryAndAlwaysTerminates) {
  char buffer[4];
  EXPECT_EQ(CopyText("abcdef", buffer, sizeof buffer), 3u);
  EXPECT_STREQ(buffer, "abc");
  EXPECT_EQ(CopyText("ab" SO, buffer, sizeof buffer), 2u);
  EXPECT_STREQ(buffer, "ab");
  EXPECT_EQ(CopyText("a" SO, buffer, sizeof buffer), 3u);
  EXPECT_STREQ(buffer, "a" SO);
  EXPECT_EQ(CopyText(nullptr, buffer, sizeof buffer), 0u);
  EXPECT_STREQ(buffer, "");
  char untouched = 'z';
  EXPECT_EQ(CopyText("abc", &untouched, 0), 0u);
  EXPECT_EQ(untouched, 'z');
}

}  // namespace
