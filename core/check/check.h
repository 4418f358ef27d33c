// The game checker: reads every scenario, inquiry, item, sprite, motion and music file of a
// game with the engine's own readers and collects every problem instead of ending at the
// first. Each reader runs on one unit at a time (a scenario line, a definition file) with
// the host's message box turned into a list, so a report says exactly what the game would
// say, and the check goes on after it. Beyond what the readers refuse, it follows every
// jump, link and inquiry target to its file and label, every item number to its
// definition, and every picture, sound and music name to a file.
#pragma once

#include <string>
#include <vector>

struct CheckFinding {
  std::string file;   // the game file, Shift-JIS, as the engine names it
  int line = 0;       // 1 for the first line; 0 when the problem is the file's as a whole
  bool warning = false;
  std::string text;   // the engine's own message (Shift-JIS), or the checker's (ASCII)
};

struct CheckReport {
  std::vector<CheckFinding> findings;  // by file, then line
  int errors = 0;
  int warnings = 0;
  int filesRead = 0;
  int linesRead = 0;
};

// Checks the game the host has mounted. `files` lists every file of the game (Shift-JIS,
// relative, `/` between folders); `folders` limits the scenario folders checked ("scn/x"),
// none meaning every folder under "scn/" that holds a scenario file. The host must be
// bound and set up; the engine is started and shut down inside.
CheckReport CheckGame(const std::vector<std::string>& files,
                      const std::vector<std::string>& folders);
