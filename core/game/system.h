// Start-up and shutdown of the whole engine: start (the plug-in export) sets every subsystem
// up, runs the game, and shuts everything down again however the game ended.
#pragma once

// Sets up every subsystem for a window of the given size.
void StartSystem(int width, int height, bool fullscreen);
// Releases everything StartSystem set up.
void ShutdownSystem();
