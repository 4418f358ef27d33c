// Progress kept from one run of the game to the next, in the progress file beside the host
// executable (section "save"): the clear count that unlocks the selection menu's entries,
// and the one saved position written when the player accepts the save dialog of `@save`.
// The file's path is ProgressFilePath (game/system.h).
#pragma once

// "clear" as written in the progress file; 0 when the file or the key is missing.
int ReadClearCount();
// Writes `count` as "clear" only when it is greater than ReadClearCount: clears never go down.
void RaiseClearCount(int count);
// True when the progress file holds a saved position (a non-empty "pt_scn").
bool HasSavedGame();
// `@save`: a yes/no box on the layer "def"; on "yes" writes the current scenario folder as
// "pt_scn" and `target` (may be empty) as "pt_target". The choice never acts as a jump.
void SaveDialog(const char* target);
