/*
 * The assembled game folder against the asset generator's own table: every promised file is
 * there, every picture decodes at its size, and the generator is deterministic and fails
 * loudly.
 */
#include "demo_fixture.h"

#include <gtest/gtest.h>

#include <set>

using namespace demotest;

namespace {

TEST(BundledGameFolder, HoldsEveryGeneratedFile) {
  auto assets = listedAssets();
  ASSERT_FALSE(assets.empty());
  std::set<std::string> seen;
  for (const auto& a : assets) {
    EXPECT_TRUE(seen.insert(a.path).second) << "listed twice: " << a.path;
    EXPECT_TRUE(fs::is_regular_file(gameDir() / fs::u8path(a.path))) << a.path;
    EXPECT_TRUE(a.kind == "png" || a.kind == "wav" || a.kind == "music") << a.path;
  }
}

TEST(BundledGameFolder, PicturesDecodeAtTheirListedSizes) {
  for (const auto& a : listedAssets()) {
    if (a.kind != "png") continue;
    auto picture = loadPicture(gameDir() / fs::u8path(a.path));
    ASSERT_TRUE(picture) << a.path << " does not decode";
    EXPECT_EQ(picture->width, a.width) << a.path;
    EXPECT_EQ(picture->height, a.height) << a.path;
  }
}

TEST(BundledGameFolder, LeavesNoHalfWrittenFiles) {
  for (const auto& rel : filesUnder(gameDir()))
    EXPECT_NE(rel.extension(), ".part") << rel << " was left by an interrupted write";
}

TEST(AssetGenerator, RunsTwiceToIdenticalBytes) {
  TempDir first, second;
  ASSERT_EQ(runCommand(quoted(DEMO_ASSETGEN) + " --out " + quoted(first.path)), 0);
  ASSERT_EQ(runCommand(quoted(DEMO_ASSETGEN) + " --out " + quoted(second.path)), 0);
  auto files = filesUnder(first.path);
  ASSERT_EQ(files, filesUnder(second.path));
  ASSERT_EQ(files.size(), listedAssets().size());
  for (const auto& rel : files) {
    auto bytes = readBytes(first.path / rel);
    EXPECT_EQ(bytes, readBytes(second.path / rel)) << rel << " differs between two runs";
    // The build's copy must be the same too, or the game folder is stale.
    EXPECT_EQ(bytes, readBytes(gameDir() / rel)) << rel << " in the game folder is stale";
  }
}

TEST(AssetGenerator, RejectsBadArguments) {
  std::string out;
  EXPECT_EQ(runCommand(quoted(DEMO_ASSETGEN) + " 2>/dev/null", &out), 2);
  EXPECT_EQ(runCommand(quoted(DEMO_ASSETGEN) + " --out 2>/dev/null", &out), 2);
  EXPECT_EQ(runCommand(quoted(DEMO_ASSETGEN) + " --frobnicate x 2>/dev/null", &out), 2);
  EXPECT_EQ(runCommand(quoted(DEMO_ASSETGEN) + " --help", &out), 0);
  EXPECT_NE(out.find("--out"), std::string::npos);
}

TEST(AssetGenerator, FailsLoudlyWhenItCannotWrite) {
  TempDir dir;
  // A plain file where the game folder should be: nothing can be created under it.
  fs::path blocker = dir.path / "game";
  writeBytes(blocker, "not a folder");
  std::string out;
  int status = runCommand(quoted(DEMO_ASSETGEN) + " --out " + quoted(blocker) + " 2>&1", &out);
  EXPECT_EQ(status, 1);
  EXPECT_NE(out.find("assetgen:"), std::string::npos) << out;
}

}  // namespace
