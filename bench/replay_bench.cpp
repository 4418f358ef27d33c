// Whole-game figures, each an orvane process run headless on the bundled game: start-up to
// the first wait at the title (the run ends there, since nobody plays), and the first
// episode replayed from the title to its ending by its input script, with the processor
// time, the wall time and the peak memory of the process. Processor time is also given in
// plain copies of an 800x600x4 frame, measured in this run; peak memory in frames.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "bench_clock.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

constexpr double kFrameBytes = 800.0 * 600.0 * 4.0;

struct Run {
  int status = -1;
  double wall = 0, cpu = 0;  // seconds
  long peakKb = 0;
};

// Runs orvane with the arguments, its output thrown away.
Run runOrvane(std::vector<std::string> args) {
  args.insert(args.begin(), std::string(ORVANE_BIN_DIR) + "/orvane");
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t files;
  posix_spawn_file_actions_init(&files);
  posix_spawn_file_actions_addopen(&files, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&files, 2, "/dev/null", O_WRONLY, 0);
  Run run;
  auto start = std::chrono::steady_clock::now();
  pid_t pid = 0;
  if (posix_spawn(&pid, argv[0], &files, nullptr, argv.data(), environ) == 0) {
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    run.wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.cpu = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
              static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
    run.peakKb = usage.ru_maxrss;
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  posix_spawn_file_actions_destroy(&files);
  return run;
}

void report(benchmark::State& state, const Run& total, long peakKb, int runs,
            const FrameCopies& copies) {
  state.counters["wall_s"] = total.wall / runs;
  state.counters["cpu_s"] = total.cpu / runs;
  state.counters["copy_us"] = copies.nanoseconds() * 1e-3;
  state.counters["memcpys"] = total.cpu * 1e9 / runs / copies.nanoseconds();
  state.counters["peak_MiB"] = static_cast<double>(peakKb) / 1024.0;
  state.counters["peak_frames"] = static_cast<double>(peakKb) * 1024.0 / kFrameBytes;
}

void Play(benchmark::State& state, const std::vector<std::string>& extra) {
  const fs::path dir = fs::temp_directory_path() / ("orvane_bench_replay_" +
                                                     std::to_string(::getpid()));
  Run total;
  long peakKb = 0;
  int runs = 0;
  // The yardstick is taken just before and after each run, as near it as another process
  // allows.
  FrameCopies copies;
  for (auto _ : state) {
    copies.copy(100);
    fs::remove_all(dir);
    fs::create_directories(dir);
    std::vector<std::string> args = {"--headless", "--save-dir", dir.string(), "--shots",
                                     dir.string()};
    args.insert(args.end(), extra.begin(), extra.end());
    args.push_back(std::string(ORVANE_BIN_DIR) + "/game");
    Run run = runOrvane(args);
    if (run.status != 0) state.SkipWithError("orvane did not end normally");
    state.SetIterationTime(run.wall);
    total.wall += run.wall;
    total.cpu += run.cpu;
    peakKb = std::max(peakKb, run.peakKb);
    ++runs;
    copies.copy(100);
  }
  fs::remove_all(dir);
  report(state, total, peakKb, runs, copies);
}

void BM_StartUpToTitle(benchmark::State& state) { Play(state, {}); }
BENCHMARK(BM_StartUpToTitle)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

void BM_FirstEpisodeReplay(benchmark::State& state) {
  Play(state, {"--input", std::string(REPLAYS_DIR) + "/maid.txt"});
}
BENCHMARK(BM_FirstEpisodeReplay)->UseManualTime()->Iterations(2)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
