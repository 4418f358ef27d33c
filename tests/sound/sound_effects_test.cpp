// Sound effects against the recording host: how a name resolves, what the cache keeps and
// evicts, that a played effect outlives its eviction until the next one starts, and what
// @sePlay picks.
#include "sound_fixture.h"

namespace {

using Calls = std::vector<std::string>;

class Effects : public SoundTest {
 protected:
  Calls Loads() const { return CallsTo({"lbLoadSound"}); }
  std::string NameOf(const ResourceHandle& h) const { return h ? h->name : "<empty>"; }
};

TEST_F(Effects, Resolve_NameAsWrittenBeforeAnyExtension) {
  Exists("se/hit");
  Exists("se/hit.wav");
  EXPECT_EQ(NameOf(loadSound("se/hit", 1)), "se/hit");
}

TEST_F(Effects, Resolve_WavThenOggThenMp3) {
  Exists("a.mp3");
  Exists("a.ogg");
  Exists("b.mp3");
  EXPECT_EQ(NameOf(loadSound("a", 1)), "a.ogg");
  EXPECT_EQ(NameOf(loadSound("b", 1)), "b.mp3");
  EXPECT_EQ(CallsTo({"lbIsFileExist"}),
            (Calls{"lbIsFileExist(\"a\")", "lbIsFileExist(\"a.wav\")", "lbIsFileExist(\"a.ogg\")",
                   "lbIsFileExist(\"b\")", "lbIsFileExist(\"b.wav\")", "lbIsFileExist(\"b.ogg\")",
                   "lbIsFileExist(\"b.mp3\")"}));
}

TEST_F(Effects, Resolve_ClickFindsClickOggAndUpperCaseHitsTheSameEntry) {
  Exists("click.ogg");
  ResourceHandle first = loadSound("click", 1);
  ResourceHandle second = loadSound("CLICK", 1);
  EXPECT_EQ(Loads(), Calls{"lbLoadSound(\"click.ogg\",1)"});
  EXPECT_TRUE(first == second);
  EXPECT_EQ(soundCacheCount(), 1u);
}

TEST_F(Effects, Resolve_MissingFileIsSilentEmptyAndUncached) {
  ResourceHandle none = loadSound("nothing", 1);
  EXPECT_EQ(hostSound(none), nullptr);
  ASSERT_TRUE(none) << "a record, with no sound in it";
  EXPECT_STREQ(none->name, "");
  EXPECT_EQ(soundCacheCount(), 0u);
  EXPECT_EQ(Loads(), Calls{});
  EXPECT_TRUE(host->messages.empty());
  EXPECT_FALSE(soundExists("nothing"));
}

TEST_F(Effects, Resolve_LongNameIsCutNotOverrun) {
  std::string name(300, 'n');
  Exists(name.substr(0, 263));
  EXPECT_EQ(NameOf(loadSound(name.c_str(), 1)), name.substr(0, 263));
}

TEST_F(Effects, Cache_NinthEffectEvictsTheLeastRecentlyUsed) {
  for (int i = 0; i < 9; ++i) Exists("e" + std::to_string(i) + ".wav");
  for (int i = 0; i < 9; ++i) loadSound(("e" + std::to_string(i)).c_str(), 1);
  EXPECT_EQ(soundCacheCount(), 8u);
  EXPECT_EQ(alive.size(), 8u) << "the evicted effect is destroyed once nobody holds it";
  Clear();
  loadSound("e8", 1);  // still cached
  loadSound("e0", 1);  // evicted: loaded anew, and e1 makes room for it
  loadSound("e2", 1);
  EXPECT_EQ(Loads(), Calls{"lbLoadSound(\"e0.wav\",1)"});
  EXPECT_EQ(CallsTo({"lbDestroySound"}), Calls{"lbDestroySound(\"e1.wav\")"});
}

TEST_F(Effects, Cache_HitMovesTheEntryToTheBack) {
  for (int i = 0; i < 9; ++i) Exists("e" + std::to_string(i) + ".wav");
  for (int i = 0; i < 8; ++i) loadSound(("e" + std::to_string(i)).c_str(), 1);
  loadSound("e0", 1);  // e1 is now the least recently used
  Clear();
  loadSound("e8", 1);
  EXPECT_EQ(CallsTo({"lbDestroySound"}), Calls{"lbDestroySound(\"e1.wav\")"});
}

TEST_F(Effects, Cache_UnloadableFileIsCachedAndNotRetried) {
  Exists("broken.wav");
  unloadable.insert("broken.wav");
  EXPECT_EQ(hostSound(loadSound("broken", 1)), nullptr);
  EXPECT_EQ(hostSound(loadSound("broken", 1)), nullptr);
  EXPECT_EQ(Loads(), Calls{"lbLoadSound(\"broken.wav\",1)"});
  playSe("broken");
  EXPECT_EQ(CallsTo({"lbPlaySound"}), Calls{});
}

TEST_F(Effects, Cache_FlushDropsEverythingButWhatOthersHold) {
  Exists("a.wav");
  Exists("b.wav");
  ResourceHandle held = loadSound("a", 1);
  loadSound("b", 1);
  flushSoundCache();
  EXPECT_EQ(soundCacheCount(), 0u);
  EXPECT_EQ(alive, Calls{"a.wav"});
  held.reset();
  EXPECT_TRUE(alive.empty());
}

TEST_F(Effects, Cache_LimitIsTheOneStartUpSets) {
  initSoundCache(2);
  for (const char* n : {"a", "b", "c"}) Exists(std::string(n) + ".wav");
  for (const char* n : {"a", "b", "c"}) loadSound(n, 1);
  EXPECT_EQ(soundCacheCount(), 2u);
}

TEST_F(Effects, Play_RendersFirstThenPlaysOnce) {
  Exists("ding.wav");
  playSe("ding");
  EXPECT_EQ(CallsTo({"lbtsRenderScreen", "lbLoadSound", "lbPlaySound"}),
            (Calls{"lbtsRenderScreen()", "lbLoadSound(\"ding.wav\",1)", "lbPlaySound(\"ding.wav\",0)"}));
}

TEST_F(Effects, Play_LastEffectOutlivesItsEvictionUntilTheNextStarts) {
  initSoundCache(1);
  Exists("long.wav");
  Exists("other.wav");
  Exists("next.wav");
  playSe("long");
  loadSound("other", 1);  // pushes "long" out of the cache while it still plays
  EXPECT_EQ(CallsTo({"lbDestroySound"}), Calls{}) << "a playing effect must not be cut off";
  playSe("next");
  EXPECT_EQ(CallsTo({"lbDestroySound"}),
            (Calls{"lbDestroySound(\"other.wav\")", "lbDestroySound(\"long.wav\")"}));
  releaseSoundEffects();
  EXPECT_TRUE(alive.empty());
}

int gRenderFailures = 0;
int RenderFailingAtFirst() { return gRenderFailures-- > 0 ? 0 : 1; }

TEST_F(Effects, Play_AFailedRenderEmptiesTheCacheBeforeTheEffectLoads) {
  Exists("a.wav");
  Exists("b.wav");
  loadSound("a", 1);
  loadSound("b", 1);
  gHost.lbtsRenderScreen = RenderFailingAtFirst;
  gRenderFailures = 1;
  Clear();
  playSe("a");
  EXPECT_EQ(CallsTo({"lbLoadSound", "lbPlaySound"}),
            (Calls{"lbLoadSound(\"a.wav\",1)", "lbPlaySound(\"a.wav\",0)"}));
  EXPECT_EQ(soundCacheCount(), 1u);
  EXPECT_EQ(alive, Calls{"a.wav"});
}

TEST_F(Effects, Play_MissingEffectPlaysNothingAndIsNoError) {
  playSe("silence");
  EXPECT_EQ(CallsTo({"lbPlaySound", "lbLoadSound"}), Calls{});
  EXPECT_TRUE(host->messages.empty());
}

TEST_F(Effects, SePlay_ScenarioFolderBeforeTheSystemEffects) {
  Exists("scn/t/door.wav");
  Exists("sys/se/door.wav");
  Exists("sys/se/bell.ogg");
  DispatchCommand("@sePlay file=door", 0);
  DispatchCommand("@sePlay file=bell", 0);
  DispatchCommand("@sePlay file=none", 0);
  EXPECT_EQ(CallsTo({"lbPlaySound"}),
            (Calls{"lbPlaySound(\"scn/t/door.wav\",0)", "lbPlaySound(\"sys/se/bell.ogg\",0)"}));
  EXPECT_EQ(ErrorOf([] { DispatchCommand("@sePlay file=door loud", 0); }),
            InContext("", 0, "コマンド@sePlayのloudオプションが認識できません。"));
}

}  // namespace
