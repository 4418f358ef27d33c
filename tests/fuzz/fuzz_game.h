// The game the fuzz targets feed: core bound in this process to the headless runtime over a
// game folder in the temporary folder that holds the test games' system pictures, started
// once as the game starts itself. Each input is written into the folder as the file under
// test and run with a budget of game time and commands, so a script that loops for ever or
// waits for a player who never comes ends like a closed window.
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

// The file's path on disk.
std::string GameFilePath(const std::string& relativePath);

// Runs `body` as one turn of the game: the window open again, `gameTimeMs` of game time and
// `commands` dispatched commands allowed. Returns false when the game ended (a reported
// error, the budget used up, the window closed).
bool PlayTurn(const std::function<void()>& body, std::uint32_t gameTimeMs = 2000,
              int commands = 400);

// The input as a zero-terminated text cut at its first zero byte, as a line reader sees it.
std::string AsText(const std::uint8_t* data, std::size_t size);

}  // namespace fuzz
