// Start-up and shutdown of the whole engine: start (the plug-in export) sets every subsystem
// up, runs the game, and shuts everything down again however the game ended; the profile
// files beside the executable; the screen reset before every logo, title and scenario run.
#pragma once

#include <cstddef>

// Sets up every subsystem for a window of the given size.
void StartSystem(int width, int height, bool fullscreen);
// Releases everything StartSystem set up.
void ShutdownSystem();
// Takes down what a run put on the screen: script sprites, shown text layers and their choice
// regions, buttons and the selection handler.
void ClearPresentation();
// ClearPresentation with the blank page cursor loaded again: the screen state a logo, title or
// scenario run starts from.
void ResetPresentation();
// The system background behind everything (sprite place 3): the sprite definition `name`,
// or else a screen filled with `colour`, shown with the transition.
void SetSystemBackground(const char* name, const char* colour, const char* transition);

// The system menu of a right click at a story page break: back to the game, the picture
// alone, or back to the title (the scenario then ends with "sys_exit").
void RunSystemMenu();

// The debug settings file ("<save name>.ini") beside the host executable.
void DebugSettingsPath(char (&out)[264]);
// The progress file ("<save name>.sav") beside the host executable.
void ProgressFilePath(char (&out)[264]);
// The scenario folder named under [Debug] ScnName, or "" when none is set.
void DebugScenarioName(char (&out)[264]);
