/*
 * orvane check: runs the game checker, orvane-check, which lies beside the launcher. The
 * checker is a program of its own because it carries the engine's readers inside it, while
 * the launcher only loads the engine as the plug-in.
 */
#include "commands.h"
#include "paths.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

int checkCommand(int /*argc*/, char** argv) {
  const std::string checker = ownFolder() + "/orvane-check";
  argv[0] = const_cast<char*>("orvane check");
  execv(checker.c_str(), argv);
  std::fprintf(stderr, "orvane check: cannot run %s: %s\n", checker.c_str(), std::strerror(errno));
  return kCannotLoad;
}
