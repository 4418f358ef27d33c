/*
 * orvane check: runs the game checker, orvane-check, which lies beside the launcher. The
 * checker is a program of its own because it carries the engine's readers inside it, while
 * the launcher only loads the engine as the plug-in.
 */
#include "commands.h"

#include <limits.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

int checkCommand(int /*argc*/, char** argv) {
  char self[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  if (n <= 0) {
    std::fprintf(stderr, "orvane check: cannot find the launcher's own folder\n");
    return kCannotLoad;
  }
  self[n] = '\0';
  std::string checker(self);
  checker = checker.substr(0, checker.rfind('/') + 1) + "orvane-check";
  argv[0] = const_cast<char*>("orvane check");
  execv(checker.c_str(), argv);
  std::fprintf(stderr, "orvane check: cannot run %s: %s\n", checker.c_str(), std::strerror(errno));
  return kCannotLoad;
}
