// Reads the input as the item definition file of the scenario folder.
#include "fuzz_game.h"

#include "court/items.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::StartGame();
  fuzz::WriteGameFile("t/item.txt", data, size);
  fuzz::PlayTurn([] { loadItems(false, ""); });
  return 0;
}
