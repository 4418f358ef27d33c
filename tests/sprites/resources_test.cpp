// Resources against the real headless runtime: colour words and codes, name resolution with
// the extension list, the image cache, and the message each failed open or load gives.
#include <cstring>

#include "sprites_fixture.h"

// The runtime's own export, for cleaning up after the host is unbound.
extern "C" int lbtsDestroyImage(LbImage image);

namespace {

using Resources = SpritesTest;

Colour ColourOf(const char* text) {
  Colour c{-1, -1, -1, -1};
  parseColour(text, c);
  return c;
}

// lbMargePath wrapped to record the extensions it is asked to join.
std::vector<std::string> gJoined;
int (*gRealJoin)(char*, const char*, const char*, const char*) = nullptr;
int RecordJoin(char* out, const char* folder, const char* name, const char* extension) {
  gJoined.emplace_back(extension != nullptr ? extension : "(null)");
  return gRealJoin(out, folder, name, extension);
}

TEST_F(Resources, Colour_WordsIgnoreCaseAndCodesReadTwoCharactersEach) {
  Start();
  Colour white = ColourOf("White");
  EXPECT_EQ(white.red + white.green + white.blue + white.alpha, 4.0f);
  Colour black = ColourOf("BLACK");
  EXPECT_EQ(black.red + black.green + black.blue, 0.0f);
  EXPECT_EQ(black.alpha, 1.0f);
  EXPECT_EQ(ColourOf("Red").red, 1.0f);

  Colour full = ColourOf("#ffffff");
  EXPECT_EQ(full.red, 1.0f);
  EXPECT_EQ(full.blue, 1.0f);
  EXPECT_EQ(full.alpha, 1.0f);

  Colour translucentBlue = ColourOf("#0000ff60");
  EXPECT_EQ(translucentBlue.blue, 1.0f);
  EXPECT_FLOAT_EQ(translucentBlue.alpha, 96.0f / 255.0f);

  // Short codes: the missing components are 0, a missing alpha is opaque.
  Colour shortRed = ColourOf("#ff");
  EXPECT_EQ(shortRed.red, 1.0f);
  EXPECT_EQ(shortRed.green, 0.0f);
  EXPECT_EQ(shortRed.alpha, 1.0f);
  Colour bare = ColourOf("#");
  EXPECT_EQ(bare.red + bare.green + bare.blue, 0.0f);
  EXPECT_EQ(bare.alpha, 1.0f);
}

TEST_F(Resources, Colour_SeventhCharacterMakesAlphaPresent) {
  Start();
  EXPECT_EQ(ColourOf("#gggggg").alpha, 1.0f);
  Colour seven = ColourOf("#ggggggg");
  EXPECT_EQ(seven.red, 0.0f);
  EXPECT_EQ(seven.alpha, 0.0f);
  // Conversion stops at the first character that is not a digit: "8g" reads as 8.
  EXPECT_FLOAT_EQ(ColourOf("#8g0000").red, 8.0f / 255.0f);
}

TEST_F(Resources, Colour_UnknownWordEndsTheGameNamingIt) {
  Start();
  Colour c;
  EXPECT_THROW(parseColour("yellow", c), DExceptGame);
  ASSERT_EQ(messages.size(), 1u);
  // Fatal: no scenario file and line in front.
  EXPECT_EQ(messages[0], sjis("認識できない色yellowです。"));
}

TEST_F(Resources, Resolve_NameAsWrittenWinsThenTheListInOrder) {
  Picture("pics/a.png", 2, 2, 0xFF000000);
  Picture("pics/a.bmp", 2, 2, 0xFF000000);  // a PNG in disguise: only existence matters here
  Picture("pics/b", 2, 2, 0xFF000000);
  Picture("pics/b.png", 2, 2, 0xFF000000);
  Start();
  char out[264];
  resolveResourcePath("pics/a", out, sizeof out);
  EXPECT_STREQ(out, "pics/a.png");
  resolveResourcePath("pics/b", out, sizeof out);
  EXPECT_STREQ(out, "pics/b");
  resolveResourcePath("pics/none", out, sizeof out);
  EXPECT_STREQ(out, "pics/none");
  std::filesystem::remove(dir / "game" / "pics" / "a.png");
  resolveResourcePath("pics/a", out, sizeof out);
  EXPECT_STREQ(out, "pics/a.bmp");
}

TEST_F(Resources, Resolve_EmptyTokenBetweenColonsIsTriedButNotAtTheEnd) {
  Start();
  gRealJoin = gHost.lbMargePath;
  gHost.lbMargePath = RecordJoin;
  char out[264];
  gJoined.clear();
  setImageExtensions("png::jpg");
  resolveResourcePath("missing", out, sizeof out);
  EXPECT_EQ(gJoined, (std::vector<std::string>{"png", "", "jpg"}));
  gJoined.clear();
  setImageExtensions("png:");
  resolveResourcePath("missing", out, sizeof out);
  EXPECT_EQ(gJoined, (std::vector<std::string>{"png"}));
  gHost.lbMargePath = gRealJoin;
  setImageExtensions("png:bmp:jpg");
}

TEST_F(Resources, Resolve_LongNameIsCutTo263Bytes) {
  Start();
  std::string name(300, 'n');
  char out[264];
  resolveResourcePath(name.c_str(), out, sizeof out);
  EXPECT_EQ(std::strlen(out), 263u);
  char small[8];
  resolveResourcePath(name.c_str(), small, sizeof small);
  EXPECT_EQ(std::strlen(small), 7u);
}

TEST_F(Resources, Cache_ThirtyThreeImagesEvictTheLeastRecentlyUsed) {
  for (int i = 0; i < 33; ++i) Picture("c/p" + std::to_string(i) + ".png", 2, 2, 0xFF000000 | i);
  Start();
  ResourceHandle first = loadImage(-1, -1, "c/p0", true, "");
  first.reset();  // only the cache holds it now
  for (int i = 1; i < 33; ++i) loadImage(-1, -1, ("c/p" + std::to_string(i)).c_str(), true, "");
  EXPECT_EQ(imageCacheCount(), 32u);
  EXPECT_EQ(loads.size(), 33u);
  loadImage(-1, -1, "c/p1", true, "");  // still cached: no load
  EXPECT_EQ(loads.size(), 33u);
  loadImage(-1, -1, "c/p0", true, "");  // evicted: loaded anew
  EXPECT_EQ(loads.size(), 34u);
  EXPECT_EQ(imageCacheCount(), 32u);
  // p1 was used since, so the next eviction took p2.
  loadImage(-1, -1, "c/p1", true, "");
  EXPECT_EQ(loads.size(), 34u);
  loadImage(-1, -1, "c/p2", true, "");
  EXPECT_EQ(loads.size(), 35u);
}

TEST_F(Resources, Cache_KeyIsTheResolvedPathWithoutCase) {
  Start();
  ResourceHandle a = loadImage(-1, -1, "img/red20", true, "alpha");
  ResourceHandle b = loadImage(-1, -1, "IMG/RED20", true, "none");
  ResourceHandle c = loadImage(-1, -1, "img/red20.png", true, "");
  EXPECT_EQ(a.get(), b.get());
  EXPECT_EQ(a.get(), c.get());
  EXPECT_EQ(loads.size(), 1u);
  EXPECT_EQ(loadModes, std::vector<int>{2});
  EXPECT_STREQ(a->name, "img/red20.png");
  // Without the cache flag the image is loaded again, and the cache is left alone.
  ResourceHandle d = loadImage(-1, -1, "img/red20", false, "alayer");
  EXPECT_NE(a.get(), d.get());
  EXPECT_EQ(loadModes.back(), 1);
  EXPECT_EQ(imageCacheCount(), 1u);
}

TEST_F(Resources, Cache_EvictedImageStaysAliveWhileASpriteHoldsIt) {
  Start();
  setImageCacheLimit(1);
  ResourceHandle held = loadImage(-1, -1, "img/red20", true, "");
  loadImage(-1, -1, "img/blue10", true, "");
  EXPECT_EQ(held.useCount(), 1);
  int w = 0, h = 0;
  EXPECT_NE(gHost.lbtsGetImageSize(hostImage(held), &w, &h), 0);
  EXPECT_EQ(w, 20);
  flushResourceCaches();
  EXPECT_EQ(imageCacheCount(), 0u);
}

TEST_F(Resources, LoadImage_OptionWordsPassAndOtherOptionsMustBeColours) {
  Start();
  loadImage(-1, -1, "img/red20", false, "leftup");
  loadImage(-1, -1, "img/red20", false, "NONE");
  loadImage(-1, -1, "img/red20", false, "#ff00ff");
  EXPECT_TRUE(messages.empty());
  EXPECT_THROW(loadImage(-1, -1, "img/red20", false, "pink"), DExceptGame);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0], sjis("認識できない色pinkです。"));
}

TEST_F(Resources, Failures_NameWhatCouldNotBeOpened) {
  Start();
  EXPECT_THROW(loadImage(-1, -1, "img/nothing", true, ""), DExceptGame);
  EXPECT_TRUE(EndsWith(LastMessage(), sjis("画像 \"img/nothing\" が読み込めません。")));
  EXPECT_EQ(imageCacheCount(), 0u);
  EXPECT_THROW(openFile("no/such.txt"), DExceptGame);
  EXPECT_TRUE(EndsWith(LastMessage(), sjis("ファイル \"no/such.txt\" が開けません。")));
  EXPECT_THROW(loadWipe("sys/no_wipe"), DExceptGame);
  EXPECT_TRUE(EndsWith(LastMessage(), sjis("ワイプ \"sys/no_wipe\" が読み込めません。")));
  EXPECT_THROW(createSprite(ResourceHandle(), 0, 1), DExceptGame);
  EXPECT_TRUE(EndsWith(LastMessage(), sjis("スプライトを作成できません。")));
  EXPECT_THROW(createColourImage(0, 0, "black"), DExceptGame);
  EXPECT_TRUE(EndsWith(LastMessage(), sjis("画像が作成できません。")));
  EXPECT_THROW(openFont("Gothic", 0, 0, 0, 0, 0), DExceptGame);
  EXPECT_TRUE(EndsWith(LastMessage(), sjis("フォント\"Gothic\"が存在しません。")));
  EXPECT_EQ(messages.size(), 6u);
  // Each of these carries the scenario file and line in front.
  EXPECT_EQ(messages[0].rfind(sjis("ファイル \""), 0), 0u);
}

TEST_F(Resources, ColourImage_IsNamedByItsColourAndFilled) {
  Start();
  ResourceHandle image = createColourImage(4, 3, "#00000080");
  EXPECT_STREQ(image->name, "<#00000080>");
  int w = 0, h = 0;
  gHost.lbtsGetImageSize(hostImage(image), &w, &h);
  EXPECT_EQ(w, 4);
  EXPECT_EQ(h, 3);
  EXPECT_STREQ(createScreenImage(8, 8)->name, "<black>");
}

TEST_F(Resources, Handle_ReleasedAfterTheHostIsGoneDestroysNothing) {
  Start();
  // (An image: a host sprite left behind would show in the next test's frames.)
  ResourceHandle image = loadImage(-1, -1, "img/red20", false, "");
  LbImage left = hostImage(image);
  Stop();
  EXPECT_EQ(gHost.lbtsDestroyImage, nullptr);
  image.reset();  // a global released at process exit does the same
  lbtsDestroyImage(left);  // the test cleans up behind the handle, straight in the runtime
}

}  // namespace
