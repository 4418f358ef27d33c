/*
 * Recording a play-through: the player's actions written in the input-script format, so
 * that a headless run with --input replays it. An action is written when the game takes it
 * from its queue, not when the window produced it: a replay delivers each action at the
 * game's next wait for the player, so only what the game actually took belongs in it.
 */
#ifndef ORVANE_RUNTIME_RECORD_H
#define ORVANE_RUNTIME_RECORD_H

// The game took a mouse event (lbGetMouse) or a key event (lbGetKeyEvent).
void recordTakenMouse(int code, int x, int y);
void recordTakenKey(int key, int kind);

// The settings screen: opened or closed (however the player did it, a replay does it with
// F1), and a pointer move that mattered there (it chose the row under the pointer), written
// only when the pointer is somewhere new.
void recordSettingsToggle();
void recordPointer(int x, int y);

#endif  // ORVANE_RUNTIME_RECORD_H
