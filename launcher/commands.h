/*
 * The launcher's commands. Each takes the command line from its own word on (argv[0]) and
 * returns the exit status: 0 done, 1 the runtime or the game could not be loaded or bound
 * (or there is no display to play on), 2 bad arguments.
 */
#ifndef ORVANE_LAUNCHER_COMMANDS_H
#define ORVANE_LAUNCHER_COMMANDS_H

constexpr int kRanToEnd = 0, kCannotLoad = 1, kBadArguments = 2;

// Plays a game: in a window, or headless for replays (play.cpp).
int playCommand(int argc, char** argv);
// Checks a whole game and reports every problem; runs orvane-check (check.cpp).
int checkCommand(int argc, char** argv);
// Writes a game folder into the data archive the game mounts (pack.cpp).
int packCommand(int argc, char** argv);

#endif  // ORVANE_LAUNCHER_COMMANDS_H
