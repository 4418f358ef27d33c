/*
 * Live reload of the debug run: the game runs in a child process while the launcher watches
 * the scenario folder; a saved file there ends the run and starts it again.
 */
#ifndef ORVANE_LAUNCHER_WATCH_H
#define ORVANE_LAUNCHER_WATCH_H

#include "options.h"

// Runs `run(o)` again every time a file of o.scenario's folder is written, until a run ends
// by itself; returns that run's exit status.
int watchScenario(const Options& o, int (*run)(const Options&));

#endif  // ORVANE_LAUNCHER_WATCH_H
