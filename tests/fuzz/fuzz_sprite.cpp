// Reads the input as a sprite definition, shows the sprite and lets its cell animation run
// for half a second before destroying it.
#include "fuzz_game.h"

#include "present/frame.h"
#include "present/sprite_definition.h"
#include "present/sprites.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::StartGame();
  fuzz::WriteGameFile("t/f.spr", data, size);
  fuzz::PlayTurn([] {
    const int slot = userSlot(0);
    loadSpriteDefinition(slot, 0, "t/f", 100, 100, -1, 0, "none");
    showSprite(slot, kNoSlot, "none");
    waitFor(nullptr, 0, 500);
  });
  fuzz::ComposeScreen(data, size);
  fuzz::PlayTurn(destroyUserSprites);
  return 0;
}
