// Reads the input as the music list, then selects every music it named and stops.
#include "fuzz_game.h"

#include "present/sound.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::StartGame();
  fuzz::WriteGameFile("bgm/list.txt", data, size);
  fuzz::PlayTurn([] {
    loadBgmList();
    for (int n = 0; n < bgmEntryCount() && n < 8; ++n)
      if (bgmEntry(n)->name[0] != '\0') playBgm(bgmEntry(n)->name);
  });
  fuzz::PlayTurn([] { releaseBgm(); });
  return 0;
}
