// Reads the input as an inquiry file and plays it from a scenario, first as a
// cross-examination, then as a testimony, with reactions that steer it in the companion
// scenario "react".
#include <cstring>

#include "fuzz_game.h"
#include "script/scenario.h"

namespace {

constexpr const char* kStart = "@inquiryRun file=f\n@testimonyRun file=f\n@exit\n";
constexpr const char* kReactions =
    "@return\n:p0\n@inquiryEnableSpeech no=1\n@return\n:p1\n@inquiryDisableSpeech no=0\n"
    "@return\n:p2\n@inquiryRewind\n@return\n:end2\n@return\n:end3\n@inquiryExit\n";

void Write(const char* path, const char* text) {
  fuzz::WriteGameFile(path, reinterpret_cast<const std::uint8_t*>(text), std::strlen(text));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::StartGame();
  static const bool written = (Write("t/start.scn", kStart), Write("t/react.scn", kReactions), true);
  (void)written;
  fuzz::WriteGameFile("t/f.inq", data, size);
  fuzz::PlayTurn([] {
    char result[kScenarioResultSize];
    RunScenario("t", result, sizeof result, "start:", false);
  });
  fuzz::ComposeScreen(data, size);
  fuzz::ClearRun();
  return 0;
}
