// Reads the input as the progress file: the section and key lists, every value the game
// keeps there, and the items and life a resumed game restores from it; then writes a value
// and checks that it reads back and that no other section or key was lost.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "court/items.h"
#include "court/life.h"
#include "fuzz_game.h"
#include "windows.h"

namespace {

void require(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "broken: %s\n", what);
    std::abort();
  }
}

std::string Names(const char* section, const char* path) {
  char buffer[4096];
  DWORD n = GetPrivateProfileStringA(section, nullptr, "", buffer, sizeof buffer, path);
  require(n < sizeof buffer, "a list longer than its buffer");
  return std::string(buffer, n);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::StartGame();
  const std::string path = fuzz::WriteProgressFile(data, size);
  const char* file = path.c_str();

  const std::string sections = Names(nullptr, file);
  const std::string keys = Names("save", file);
  char value[264];
  for (const char* key : {"pt_scn", "pt_target", "pt_item", "pt_nolife"}) {
    DWORD n = GetPrivateProfileStringA("save", key, "", value, sizeof value, file);
    require(n < sizeof value && std::strlen(value) <= n, "a value longer than its buffer");
  }
  (void)GetPrivateProfileIntA("save", "clear", 0, file);
  fuzz::PlayTurn([file] {
    loadItems(true, file);
    loadLife(true, file);
  });

  require(WritePrivateProfileStringA("save", "pt_life", "3", file) != 0, "a write failed");
  require(GetPrivateProfileIntA("save", "pt_life", 0, file) == 3, "a written value is lost");
  std::string after = Names(nullptr, file);
  for (std::size_t at = 0; at < sections.size(); at += std::strlen(sections.c_str() + at) + 1)
    require(after.find(sections.c_str() + at) != std::string::npos, "a section is lost");
  return 0;
}
