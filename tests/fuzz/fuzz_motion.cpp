// Reads the input as a motion file over four plain sprites and runs it to its end (or to the
// end of the turn), then destroys the sprites it moved.
#include "fuzz_game.h"

#include "present/motion.h"
#include "present/sprites.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::StartGame();
  fuzz::WriteGameFile("t/f.mot", data, size);
  fuzz::PlayTurn([] {
    for (int n = 0; n < 4; ++n)
      buildColourSprite(userSlot(n), 0, 64, 48, "#c08040", 100 * n, 100, 0, 0, 12, 0, "", "none");
    loadMotion(userSlot(0), "t/f", true);
  });
  fuzz::ComposeScreen(data, size);
  fuzz::PlayTurn([] {
    resetMotions();
    destroyUserSprites();
  });
  return 0;
}
