// Reads the input as display style words, from no style and from every style set: either
// refused with the game's message or a style bit set, the same whatever letter case.
#include <cctype>
#include <cstdio>
#include <cstdlib>

#include "fuzz_game.h"
#include "host/errors.h"
#include "present/sprites.h"

namespace {

bool Parse(DisplayStyle start, const std::string& text, DisplayStyle& out) {
  try {
    out = parseDisplayStyle(start, text.c_str());
  } catch (const DExceptGame&) {
    return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text = fuzz::AsText(data, size);
  std::string upper = text;
  for (char& c : upper)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  DisplayStyle plain = 0, shouted = 0, full = 0;
  bool accepted = Parse(0, text, plain);
  // Two-byte characters may hold ASCII letters as trail bytes, so only pure ASCII texts
  // must read the same in capitals.
  bool ascii = true;
  for (unsigned char c : text) ascii &= c < 0x80;
  if (ascii && accepted != Parse(0, upper, shouted)) std::abort();
  if (ascii && accepted && plain != shouted) {
    std::fprintf(stderr, "broken: style words read differently in capitals\n");
    std::abort();
  }
  (void)Parse(~DisplayStyle{0}, text, full);
  return 0;
}
