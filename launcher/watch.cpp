/*
 * Live reload: each debug run is a child process, so a restart is a clean start of the engine
 * (nothing of the old run's state survives). inotify tells when a file of the scenario folder
 * was written or replaced; editors write a file in more than one step, so a short quiet spell
 * is awaited before the restart.
 */
#include "watch.h"

#include "commands.h"
#include "paths.h"

#include <poll.h>
#include <signal.h>
#include <sys/inotify.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>

namespace {

constexpr int kPollMs = 100;
// Set when the watcher itself is asked to end: it then ends its run before it goes, since a
// run left behind would hold its window (or spin on a display that is gone) with no one to
// close it.
volatile sig_atomic_t gStopRequested = 0;

void requestStop(int) { gStopRequested = 1; }
constexpr int kQuietMs = 150;  // a save that takes several writes settles within this

// Reads every pending event; true when there was any.
bool drain(int fd) {
  alignas(inotify_event) char buffer[4096];
  bool any = false;
  while (read(fd, buffer, sizeof buffer) > 0) any = true;
  return any;
}

int statusOf(int raw) { return WIFEXITED(raw) ? WEXITSTATUS(raw) : kCannotLoad; }

// Asks the run to end as a closed window ends it; one that does not within the grace time
// (a message box waiting for its button) is killed.
void stop(pid_t child) {
  constexpr int kGraceMs = 2000;
  kill(child, SIGTERM);
  int raw = 0;
  for (int waited = 0; waited < kGraceMs; waited += kPollMs) {
    if (waitpid(child, &raw, WNOHANG) == child) return;
    usleep(kPollMs * 1000);
  }
  kill(child, SIGKILL);
  waitpid(child, &raw, 0);
}

}  // namespace

int watchScenario(const Options& o, int (*run)(const Options&)) {
  const std::string gameDir = o.gameDir.empty() ? findLayout(ownFolder()).gameDir : o.gameDir;
  const std::string folder = gameDir + "/" + o.scenario;
  int fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (fd < 0 || inotify_add_watch(fd, folder.c_str(),
                                  IN_CLOSE_WRITE | IN_MOVED_TO | IN_CREATE | IN_DELETE) < 0) {
    std::fprintf(stderr, "orvane: cannot watch the scenario folder %s\n", folder.c_str());
    if (fd >= 0) close(fd);
    return kBadArguments;
  }
  std::fprintf(stderr, "orvane: watching %s; saving a file there starts the debug run again\n",
               folder.c_str());
  struct sigaction action {};
  action.sa_handler = requestStop;
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGINT, &action, nullptr);
  for (;;) {
    std::fflush(nullptr);
    pid_t child = fork();
    if (child < 0) {
      close(fd);
      return kCannotLoad;
    }
    if (child == 0) {
      close(fd);
      // A watcher that is killed outright still takes its run with it.
      signal(SIGTERM, SIG_DFL);
      signal(SIGINT, SIG_DFL);
      prctl(PR_SET_PDEATHSIG, SIGKILL);
      _exit(run(o));
    }
    for (;;) {
      int raw = 0;
      if (waitpid(child, &raw, WNOHANG) == child) {
        close(fd);
        return statusOf(raw);
      }
      if (gStopRequested) {
        stop(child);
        close(fd);
        return 0;
      }
      pollfd p{fd, POLLIN, 0};
      if (poll(&p, 1, kPollMs) <= 0 || !drain(fd)) continue;
      while (poll(&p, 1, kQuietMs) > 0 && drain(fd)) {
      }
      std::fprintf(stderr, "orvane: the scenario changed; starting the debug run again\n");
      stop(child);
      break;
    }
  }
}
