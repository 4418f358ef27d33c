// Runs the input as a scenario file from its "start" label: every `@` line through the
// dispatcher, every other line as story text with its tags, until it ends, reports an error
// or uses up its turn.
#include "fuzz_game.h"

#include "script/scenario.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::StartGame();
  fuzz::WriteGameFile("t/start.scn", data, size);
  fuzz::PlayTurn([] {
    char result[kScenarioResultSize];
    RunScenario("t", result, sizeof result, "start:", false);
  });
  fuzz::ComposeScreen(data, size);
  fuzz::ClearRun();
  return 0;
}
