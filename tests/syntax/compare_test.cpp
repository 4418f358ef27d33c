// Case-blind comparison of names, commands, options and labels: ASCII letters match either
// case, two-byte characters must match exactly, and a trail byte is never folded.
#include <gtest/gtest.h>

#include "script/syntax.h"

namespace {

TEST(TextEqualsNoCase, AsciiLettersIgnoreCase) {
  EXPECT_TRUE(TextEqualsNoCase("@GOTO", "@goto"));
  EXPECT_TRUE(TextEqualsNoCase("Target", "tARGET"));
  EXPECT_TRUE(TextEqualsNoCase("", ""));
  EXPECT_FALSE(TextEqualsNoCase("goto", "got"));
  EXPECT_FALSE(TextEqualsNoCase("got", "goto"));
  EXPECT_FALSE(TextEqualsNoCase("a", ""));
}

TEST(TextEqualsNoCase, OnlyLettersFold) {
  // '[' and '{' differ by the same bit as 'A' and 'a'; they are not letters.
  EXPECT_FALSE(TextEqualsNoCase("[", "{"));
  EXPECT_FALSE(TextEqualsNoCase("@", "`"));
  EXPECT_FALSE(TextEqualsNoCase("^", "~"));
}

TEST(TextEqualsNoCase, TwoByteCharactersMatchExactly) {
  // Full-width A (0x8260) and full-width a (0x8281) are different characters.
  EXPECT_FALSE(TextEqualsNoCase("\x82\x60", "\x82\x81"));
  EXPECT_TRUE(TextEqualsNoCase("x\x82\x60y", "X\x82\x60Y"));
  // A trail byte in the letter range is never folded: 0x8341 and 0x8361 differ.
  EXPECT_FALSE(TextEqualsNoCase("\x83\x41", "\x83\x61"));
}

TEST(TextEqualsNoCase, LeadByteAgainstASingleByteCharacterDiffers) {
  // The lead byte of one side must not be compared as a plain byte with the other.
  EXPECT_FALSE(TextEqualsNoCase("\x83\x41", "AA"));
  EXPECT_FALSE(TextEqualsNoCase("AA", "\x83\x41"));
}

TEST(TextEqualsNoCase, NullReadsAsEmpty) {
  EXPECT_TRUE(TextEqualsNoCase(nullptr, ""));
  EXPECT_FALSE(TextEqualsNoCase(nullptr, "a"));
}

TEST(TextStartsWithNoCase, ComparesOnlyTheFirstBytes) {
  EXPECT_TRUE(TextStartsWithNoCase("clear3", "CLEAR", 5));
  EXPECT_TRUE(TextStartsWithNoCase("@sub12", "@SUB", 4));
  EXPECT_FALSE(TextStartsWithNoCase("@sup12", "@sub", 4));
  EXPECT_TRUE(TextStartsWithNoCase("abc", "xyz", 0));
}

TEST(TextStartsWithNoCase, EndsWithinTheLength) {
  EXPECT_TRUE(TextStartsWithNoCase("ab", "AB", 10));   // both end together
  EXPECT_FALSE(TextStartsWithNoCase("ab", "abc", 10));  // a ends first
  EXPECT_FALSE(TextStartsWithNoCase("abc", "ab", 10));  // b ends first
  EXPECT_FALSE(TextStartsWithNoCase("cle", "clear", 5));
}

TEST(TextStartsWithNoCase, TwoByteCharacterAtTheLastPositionIsComparedWhole) {
  EXPECT_FALSE(TextStartsWithNoCase("a\x83\x41", "a\x83\x42", 2));
  EXPECT_TRUE(TextStartsWithNoCase("a\x83\x41z", "A\x83\x41q", 3));
}

TEST(TextStartsWithNoCase, LoneLeadByteAtTheEndDoesNotReadPastIt) {
  EXPECT_TRUE(TextStartsWithNoCase("a\x83", "a\x83", 8));
  EXPECT_FALSE(TextStartsWithNoCase("a\x83", "a\x83\x41", 8));
}

}  // namespace
