/*
 * orvane: what it does is chosen by the first word of its command line. A known word runs
 * its command with the words after it; anything else plays a game.
 */
#include "commands.h"

#include <cstring>

namespace {

struct Command {
  const char* word;
  int (*run)(int argc, char** argv);  // argv[0] is the word itself
};

const Command kCommands[] = {
    {"play", playCommand},
    {"check", checkCommand},
    {"pack", packCommand},
};

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1)
    for (const Command& c : kCommands)
      if (std::strcmp(argv[1], c.word) == 0) return c.run(argc - 1, argv + 1);
  return playCommand(argc, argv);
}
