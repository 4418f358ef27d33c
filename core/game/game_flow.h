// The game as the player meets it: the logo, then the title screen in a loop that runs the
// selection menu, the episodes it unlocks and their endings, or resumes a saved position,
// until the player quits.
#pragma once

// What the player picked on the title screen.
constexpr int kTitleBegin = 1;  // start: the selection menu of the unlocked episodes
constexpr int kTitleLoad = 2;   // continue the saved position
constexpr int kTitleExit = 3;   // quit the game

// The logo, then the title loop; leaves only by DExceptGame (quit, closed window, error).
[[noreturn]] void RunGameFlow();
// The logo on black, faded in and out.
void ShowLogo();
// The title screen with its buttons ("load" only with a saved game); returns the pick.
int RunTitleScreen();
// Plays one episode from "start:" (or the saved position with `resume`), records a clear
// and runs the menu scenario's ending for a clear or a game over.
void RunEpisode(const char* folder, bool resume);
