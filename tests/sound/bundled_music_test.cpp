// The bundled game's music list, read by the engine's own loader: every piece it names has a
// prelude and a body that exist, and each body can loop without a click at the seam.
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "sound_fixture.h"

namespace {

namespace fs = std::filesystem;

struct Pcm {
  bool ok = false;
  std::vector<int16_t> samples;
  int rate = 0;
};

// A 16-bit mono PCM WAV file as the generator writes it (a 44-byte header).
Pcm ReadWav(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  Pcm pcm;
  if (bytes.size() < 44 || std::memcmp(bytes.data(), "RIFF", 4) != 0 ||
      std::memcmp(bytes.data() + 8, "WAVE", 4) != 0)
    return pcm;
  auto u16 = [&](std::size_t at) { return unsigned(uint8_t(bytes[at])) | unsigned(uint8_t(bytes[at + 1])) << 8; };
  if (u16(20) != 1 || u16(22) != 1 || u16(34) != 16) return pcm;
  pcm.rate = int(u16(24) | u16(26) << 16);
  pcm.samples.resize((bytes.size() - 44) / 2);
  std::memcpy(pcm.samples.data(), bytes.data() + 44, pcm.samples.size() * 2);
  pcm.ok = pcm.rate > 0;
  return pcm;
}

class BundledMusic : public SoundTest {
 protected:
  void SetUp() override {
    SoundTest::SetUp();
    std::ifstream in(fs::path(BUNDLED_GAME_DIR) / "bgm" / "list.txt", std::ios::binary);
    ASSERT_TRUE(in) << "the bundled game has no bgm/list.txt";
    std::vector<std::string>& lines = files["bgm/list.txt"];  // Shift-JIS already
    for (std::string line; std::getline(in, line);) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      lines.push_back(line);
    }
    Exists("bgm/list.txt");
  }
};

TEST_F(BundledMusic, EveryPieceHasAPreludeAndALoopingBodyThatExist) {
  loadBgmList();
  ASSERT_TRUE(host->messages.empty());
  int pieces = 0;
  for (int n = 0; n < bgmEntryCount(); ++n) {
    const BgmEntry* entry = bgmEntry(n);
    if (entry->name[0] == '\0') continue;
    ++pieces;
    for (const char* file : {entry->prelude, entry->body}) {
      ASSERT_NE(file[0], '\0') << "entry " << n;
      Pcm pcm = ReadWav(fs::path(BUNDLED_GAME_DIR) / "bgm" / file);
      ASSERT_TRUE(pcm.ok) << file << " is not 16-bit mono PCM";
      EXPECT_GT(pcm.samples.size(), std::size_t(pcm.rate)) << file << " is too short for music";
    }
    // The body repeats end to start: both ends near silence, so the seam never clicks.
    Pcm body = ReadWav(fs::path(BUNDLED_GAME_DIR) / "bgm" / entry->body);
    EXPECT_LT(std::abs(int(body.samples.front())), 64) << entry->body;
    EXPECT_LT(std::abs(int(body.samples.back())), 64) << entry->body;
    int peak = 0;
    for (int16_t s : body.samples) peak = std::max(peak, std::abs(int(s)));
    EXPECT_GT(peak, 8000) << entry->body << " is nearly silent";
    // Each name selects its own entry.
    Clear();
    playBgm(entry->name);
    EXPECT_EQ(CallsTo({"lbAddStreamList"}).size(), 2u) << entry->body;
  }
  EXPECT_EQ(pieces, 3);  // the court, the night and the cross-examination
}

}  // namespace
