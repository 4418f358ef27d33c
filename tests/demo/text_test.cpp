/*
 * The text files of the bundled game: kept in UTF-8 in the source tree, read by the engine
 * as Shift-JIS. Every converted file must be valid Shift-JIS that reads back as its source,
 * and the build's conversion step must refuse a character that Shift-JIS cannot hold.
 */
#include "demo_fixture.h"

#include <gtest/gtest.h>

#include <set>

using namespace demotest;

namespace {

bool isTextFile(const fs::path& rel) {
  static const std::set<std::string> kText = {".scn", ".spr", ".mot", ".inq", ".txt"};
  std::string ext = rel.extension().string();
  for (char& c : ext) c = char(std::tolower(static_cast<unsigned char>(c)));
  return kText.count(ext) != 0;
}

std::string asString(const std::vector<uint8_t>& bytes) { return {bytes.begin(), bytes.end()}; }

// Runs the build's conversion step on one file, as the game's build does.
int convertWithBuildStep(const fs::path& in, const fs::path& out) {
  return runCommand(quoted(DEMO_CMAKE_COMMAND) + " -D IN=" + quoted(in) + " -D OUT=" +
                    quoted(out) + " -P " + quoted(DEMO_TO_SJIS_SCRIPT) + " >/dev/null 2>&1");
}

TEST(BundledTextFiles, EverySourceReachesTheGameFolderAsItsShiftJisForm) {
  int checked = 0;
  for (const auto& rel : filesUnder(sourceDir())) {
    if (!isTextFile(rel)) continue;
    ++checked;
    fs::path built = gameDir() / rel;
    ASSERT_TRUE(fs::is_regular_file(built)) << rel << " is missing from the game folder";
    std::string source = asString(readBytes(sourceDir() / rel));
    std::string game = asString(readBytes(built));
    auto expected = convert(source, "UTF-8", "CP932");
    ASSERT_TRUE(expected) << rel << " has a character without a Shift-JIS form";
    EXPECT_EQ(game, *expected) << rel << " was not converted to Shift-JIS";
    // A character that converts but comes back as another (a wave dash, say) would make
    // the source lie about what the engine reads.
    auto back = convert(game, "CP932", "UTF-8");
    ASSERT_TRUE(back) << rel;
    EXPECT_EQ(*back, source) << rel << " does not read back as its UTF-8 source";
  }
  EXPECT_GT(checked, 0);
}

TEST(BundledTextFiles, EveryTextFileInTheGameFolderIsValidShiftJis) {
  for (const auto& rel : filesUnder(gameDir())) {
    if (!isTextFile(rel)) continue;
    EXPECT_TRUE(convert(asString(readBytes(gameDir() / rel)), "CP932", "UTF-8"))
        << rel << " is not valid Shift-JIS";
  }
}

TEST(ShiftJisBuildStep, WritesJapaneseAsCp932Bytes) {
  TempDir dir;
  // 法廷 and the full-width tilde, which Shift-JIS holds as 0x8160.
  writeBytes(dir.path / "in.txt", "@bgm name=\xE6\xB3\x95\xE5\xBB\xB7\xEF\xBD\x9E\n");
  ASSERT_EQ(convertWithBuildStep(dir.path / "in.txt", dir.path / "sub" / "out.txt"), 0);
  EXPECT_EQ(asString(readBytes(dir.path / "sub" / "out.txt")),
            "@bgm name=\x96\x40\x92\xEC\x81\x60\n");
}

TEST(ShiftJisBuildStep, RefusesACharacterWithoutAShiftJisForm) {
  TempDir dir;
  writeBytes(dir.path / "in.txt", "moon \xF0\x9F\x8C\x99\n");  // U+1F319, no Shift-JIS form
  EXPECT_NE(convertWithBuildStep(dir.path / "in.txt", dir.path / "out.txt"), 0);
  // Neither a truncated result nor its temporary may be left for the next build to trust.
  EXPECT_FALSE(fs::exists(dir.path / "out.txt"));
  EXPECT_FALSE(fs::exists(dir.path / "out.txt.part"));
}

TEST(ShiftJisBuildStep, RefusesMalformedUtf8AndKeepsTheOldResult) {
  TempDir dir;
  writeBytes(dir.path / "out.txt", "previous");
  writeBytes(dir.path / "in.txt", "bad \xFF byte\n");
  EXPECT_NE(convertWithBuildStep(dir.path / "in.txt", dir.path / "out.txt"), 0);
  EXPECT_EQ(asString(readBytes(dir.path / "out.txt")), "previous");
}

}  // namespace
