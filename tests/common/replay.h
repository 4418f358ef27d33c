// Reading what a headless replay left behind: the transcript's events (each line without its
// game time) and its message boxes, and the exit status of the command that ran orvane.
#pragma once

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

inline std::vector<std::string> transcriptEvents(const std::string& path) {
  std::ifstream in(path);
  std::vector<std::string> events;
  for (std::string line; std::getline(in, line);) {
    std::size_t space = line.find(' ');
    events.push_back(space == std::string::npos ? line : line.substr(space + 1));
  }
  return events;
}

// The message boxes of a transcript, "Orvane System: " and all.
inline std::vector<std::string> transcriptMessages(const std::string& path) {
  std::vector<std::string> out;
  for (const std::string& e : transcriptEvents(path))
    if (e.rfind("message ", 0) == 0) out.push_back(e.substr(8));
  return out;
}

// Runs a shell command; its exit status, or -1 when it did not exit normally.
inline int exitStatusOf(const std::string& command) {
  int raw = std::system(command.c_str());
  return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}
