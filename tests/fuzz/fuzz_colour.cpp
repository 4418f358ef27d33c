// Reads the input as a colour (a colour word or `#` with six or eight hexadecimal digits):
// either refused with the game's message or four channels between 0 and 1.
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "fuzz_game.h"
#include "host/errors.h"
#include "present/resources.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text = fuzz::AsText(data, size);
  Colour colour{};
  try {
    parseColour(text.c_str(), colour);
  } catch (const DExceptGame&) {
    return 0;
  }
  for (float channel : {colour.red, colour.green, colour.blue, colour.alpha})
    if (!(channel >= 0.0f && channel <= 1.0f)) {
      std::fprintf(stderr, "broken: a colour channel outside 0..1\n");
      std::abort();
    }
  return 0;
}
