// Transcript lines of the observable events: title, messages, full screen, sounds, streams.
#include "headless_fixture.h"

#include "audio.h"

#include <cstring>

namespace {

// A WAV file of n stereo 16-bit samples at 44100 Hz.
std::string wav(int samples) {
  std::string data(size_t(samples) * 4, '\0');
  for (int i = 0; i < samples; ++i) data[size_t(i) * 4 + 1] = char(i % 64);
  auto u32 = [](uint32_t v) { return std::string(reinterpret_cast<const char*>(&v), 4); };
  auto u16 = [](uint16_t v) { return std::string(reinterpret_cast<const char*>(&v), 2); };
  return "RIFF" + u32(uint32_t(36 + data.size())) + "WAVE" + "fmt " + u32(16) + u16(1) + u16(2) +
         u32(44100) + u32(44100 * 4) + u16(4) + u16(16) + "data" + u32(uint32_t(data.size())) +
         data;
}

}  // namespace

TEST_F(Headless, TitleAndMessagesAreWrittenInUtf8OnOneLine) {
  start();
  lbWaitEvent(42);
  // "法廷" in Shift-JIS
  EXPECT_EQ(lbSetTitle("\x96\x40\x92\xEC Orvane"), 1);
  EXPECT_EQ(lbMessage("first\nsecond\r\nthird", "Orvane System", 0), 1);
  EXPECT_EQ(lbMessage("\x83\x74\x83\x40\x83\x43\x83\x8B", "Orvane System", 0), 1);  // ファイル
  auto lines = transcript();
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], "42 title \xE6\xB3\x95\xE5\xBB\xB7 Orvane");
  EXPECT_EQ(lines[1], "42 message Orvane System: first\\nsecond\\nthird");
  EXPECT_EQ(lines[2], "42 message Orvane System: \xE3\x83\x95\xE3\x82\xA1\xE3\x82\xA4\xE3\x83\xAB");
}

TEST_F(Headless, FullScreenChangesAreWrittenOnlyWhenTheyChangeSomething) {
  start();
  EXPECT_EQ(lbIsFullscreen(), 0);
  lbSetFullscreen(0);
  lbSetFullscreen(!lbIsFullscreen());
  EXPECT_EQ(lbIsFullscreen(), 1);
  lbSetFullscreen(1);
  lbSetFullscreen(!lbIsFullscreen());
  auto lines = transcript();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], "0 fullscreen on");
  EXPECT_EQ(lines[1], "0 fullscreen off");
}

TEST_F(Headless, SystemNameAndStartUpSettings) {
  start();
  EXPECT_EQ(lbCheckSystemName("MOSSLINE_ORVANE_SYSTEM"), 1);
  EXPECT_EQ(lbCheckSystemName("MOSSLINE_ORVANE_SYSTEM "), 0);
  EXPECT_EQ(lbCheckSystemName("mossline_orvane_system"), 0);
  EXPECT_EQ(lbCheckSystemName(nullptr), 0);
  EXPECT_EQ(lbUseGDI(1), 1);
  EXPECT_EQ(lbSetCopyright("Orvane System\r\n(c) the Orvane developers"), 1);
  EXPECT_EQ(lbSetWindowSize(800, 600), 1);
  EXPECT_EQ(lbSetWindowSize(0, 600), 0);
  EXPECT_EQ(lbSetTimePause(0), 1);
  EXPECT_EQ(lbtsSetLinearMode(1), 1);
  EXPECT_TRUE(transcript().empty());
}

TEST_F(Headless, SoundsPlayedAreWrittenWithTheirPath) {
  writeGameFile("sys/se/ding.wav", wav(100));
  start();
  LbSound s = lbLoadSound("sys/se/DING.wav", 0);
  ASSERT_NE(s, nullptr);
  lbWaitEvent(10);
  EXPECT_EQ(lbPlaySound(s, 0), 1);
  EXPECT_EQ(lbDestroySound(s), 1);
  auto lines = transcript();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0], "10 se sys/se/DING.wav");
}

TEST_F(Headless, SoundsThatAreMissingOrBrokenGiveNull) {
  writeGameFile("text.wav", "this is not a sound at all, just some words");
  writeGameFile("empty.ogg", "");
  writeGameFile("cut.wav", wav(100).substr(0, 30));
  start();
  EXPECT_EQ(lbLoadSound("missing.wav", 0), nullptr);
  EXPECT_EQ(lbLoadSound("text.wav", 0), nullptr);
  EXPECT_EQ(lbLoadSound("empty.ogg", 0), nullptr);
  EXPECT_EQ(lbLoadSound("cut.wav", 0), nullptr);
  EXPECT_EQ(lbLoadSound(nullptr, 0), nullptr);
  EXPECT_EQ(lbPlaySound(nullptr, 0), 0);
  EXPECT_EQ(lbDestroySound(nullptr), 0);
  EXPECT_TRUE(transcript().empty());
}

TEST_F(Headless, AStreamWritesItsPlayListAndItsStop) {
  writeGameFile("bgm/intro.wav", wav(50));
  writeGameFile("bgm/body.wav", wav(80));
  start();
  LbStream s = lbCreateStream();
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(lbPlayStream(s), 0) << "an empty play list does not play";
  EXPECT_EQ(lbAddStreamList(s, "bgm/intro.wav", 0, 0, 0), 1);
  EXPECT_EQ(lbAddStreamList(s, "bgm/body.wav", -1, 0, 0), 1);
  EXPECT_EQ(lbPlayStream(s), 1);
  lbWaitEvent(500);
  EXPECT_EQ(lbStopStream(s), 1);
  EXPECT_EQ(lbStopStream(s), 1);  // already stopped: nothing more to write
  EXPECT_EQ(lbPlayStream(s), 1);
  EXPECT_EQ(lbDestroyStream(s), 1);
  auto lines = transcript();
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], "0 stream bgm/intro.wav bgm/body.wav (loop)");
  EXPECT_EQ(lines[1], "500 stream-stop");
  EXPECT_EQ(lines[2], "500 stream bgm/intro.wav bgm/body.wav (loop)");
  EXPECT_EQ(lines[3], "500 stream-stop");
}

TEST_F(Headless, AStreamWithABrokenEntryDoesNotPlay) {
  writeGameFile("bgm/good.wav", wav(50));
  writeGameFile("bgm/bad.wav", "RIFF....WAVEnonsense");
  start();
  LbStream s = lbCreateStream();
  lbAddStreamList(s, "bgm/good.wav", 0, 0, 0);
  lbAddStreamList(s, "bgm/bad.wav", -1, 0, 0);
  EXPECT_EQ(lbPlayStream(s), 0);
  EXPECT_EQ(lbStopStream(s), 1);
  EXPECT_EQ(lbDestroyStream(s), 1);
  EXPECT_EQ(lbAddStreamList(nullptr, "x", 0, 0, 0), 0);
  EXPECT_TRUE(transcript().empty());
}

TEST(Playlist, APreludePlaysOnceThenTheBodyLoopsWithoutAGap) {
  const uint8_t intro[] = {'A', 'B', 'C'};
  const uint8_t body[] = {'x', 'y'};
  std::vector<PlaylistEntry> list = {{intro, 3, 0}, {body, 2, -1}};
  PlaylistCursor c;
  uint8_t out[12];
  ASSERT_EQ(fillFromPlaylist(list, c, out, 4), 4u);
  ASSERT_EQ(fillFromPlaylist(list, c, out + 4, 8), 8u);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(out), 12), "ABCxyxyxyxyx");
  uint8_t more[3];
  ASSERT_EQ(fillFromPlaylist(list, c, more, 3), 3u);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(more), 3), "yxy");
}

TEST(Playlist, RepeatCountsAndTheEndOfTheList) {
  const uint8_t a[] = {'a'};
  const uint8_t b[] = {'b', 'B'};
  std::vector<PlaylistEntry> list = {{a, 1, 2}, {b, 2, 0}};
  PlaylistCursor c;
  uint8_t out[10] = {};
  EXPECT_EQ(fillFromPlaylist(list, c, out, 10), 5u) << "a three times, then b once";
  EXPECT_EQ(std::string(reinterpret_cast<char*>(out), 5), "aaabB");
  EXPECT_EQ(fillFromPlaylist(list, c, out, 10), 0u);
}

TEST(Playlist, AnEmptyLoopingEntryNeverHangs) {
  const uint8_t a[] = {'a'};
  std::vector<PlaylistEntry> list = {{nullptr, 0, -1}, {a, 1, 0}};
  PlaylistCursor c;
  uint8_t out[4];
  EXPECT_EQ(fillFromPlaylist(list, c, out, 4), 1u);
}
