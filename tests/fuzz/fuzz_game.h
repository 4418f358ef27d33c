// The game the fuzz targets feed: core bound in this process to the headless runtime over a
// game folder (in memory where the system has a memory file system) that holds the test
// games' system pictures, started once as the game starts itself and kept across inputs.
// Each input is written into the folder as the file under test and run with a budget of
// game time and commands, so a script that loops for ever or waits for a player who never
// comes ends like a closed window. Frames pass without being composed: composing 800x600
// pixels at every frame cost more than everything else a run does together.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace fuzz {

// Sets the game up on first use (the engine started, hooks installed, messages silenced).
void StartGame();

// Writes the input as the game file `relativePath` (Shift-JIS bytes as given).
void WriteGameFile(const std::string& relativePath, const std::uint8_t* data, std::size_t size);

// Writes the input as the progress file, beside the executable; its path.
std::string WriteProgressFile(const std::uint8_t* data, std::size_t size);

// Runs `body` as one turn of the game: the window open again, `gameTimeMs` of game time and
// `commands` dispatched commands allowed. Returns false when the game ended (a reported
// error, the budget used up, the window closed).
bool PlayTurn(const std::function<void()>& body, std::uint32_t gameTimeMs = 2000,
              int commands = 400);

// A turn that takes down what a scenario run left behind (script sprites, text, the message
// log, motions, the stage, the music), so the next input starts from the same screen and each
// input frees as many objects as it makes: libFuzzer runs an input again and scans the heap
// for leaks whenever it allocates more than it frees. The page cursor stays; the next run's
// own reset loads it again.
void ClearRun();

// Puts the screen as the input left it through the compositor, for one input in
// kComposeOneIn (chosen by the input's bytes, so a finding reproduces).
constexpr std::uint32_t kComposeOneIn = 8;
void ComposeScreen(const std::uint8_t* data, std::size_t size);

// The input as a zero-terminated text cut at its first zero byte, as a line reader sees it.
std::string AsText(const std::uint8_t* data, std::size_t size);

}  // namespace fuzz
