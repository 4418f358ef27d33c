// Scenario speed: a generated 100,000-line scenario of labels, jumps, comments and flow
// commands, loaded and run to its end through the real loader, run loop and dispatcher. The
// file is served from memory, so the counters are the engine's own lines per second and a
// line's processor time in steps of an empty loop over the same lines.
#include <benchmark/benchmark.h>

#include <time.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bench_clock.h"
#include "host/host_api.h"
#include "script/commands.h"
#include "script/scenario.h"

namespace {

constexpr int kBlocks = 10000;  // ten lines each

// Every block jumps over one line to a label of its own, then to the next block's label;
// the last block exits. Half the lines are comments, labels or empty.
std::vector<std::string> GenerateScenario() {
  std::vector<std::string> lines;
  lines.reserve(kBlocks * 10);
  for (int b = 0; b < kBlocks; ++b) {
    std::string n = std::to_string(b);
    lines.push_back("; block " + n);
    lines.push_back(":b" + n);
    lines.push_back("@goto target=b" + n + "_next note=skip");
    lines.push_back("@exit rescode=skipped");
    lines.push_back("  :B" + n + "_NEXT");
    lines.push_back("; a comment");
    lines.push_back("\t; an indented comment");
    lines.push_back("");
    lines.push_back(b + 1 < kBlocks ? "@GOTO Target=b" + std::to_string(b + 1) : "@exit rescode=done");
    lines.push_back("");
  }
  return lines;
}

const std::vector<std::string>& Scenario100k() {
  static const std::vector<std::string> lines = GenerateScenario();
  return lines;
}

// Processor nanoseconds per line of an empty loop over the lines: the yardstick of the
// "loops" counter, the cost of a line in such loop steps.
double emptyLoopNanoseconds() {
  static double ns = [] {
    const int rounds = 20;
    double start = cpuSeconds();
    for (int r = 0; r < rounds; ++r)
      for (const std::string& line : Scenario100k()) benchmark::DoNotOptimize(line.data());
    return (cpuSeconds() - start) * 1e9 / rounds / static_cast<double>(Scenario100k().size());
  }();
  return ns;
}

std::size_t gNext = 0;

LbFile CreateFile(const char*, int) {
  gNext = 0;
  return reinterpret_cast<LbFile>(&gNext);
}
const char* ReadFileLine(LbFile) {
  const std::vector<std::string>& lines = Scenario100k();
  return gNext < lines.size() ? lines[gNext++].c_str() : nullptr;
}
int DestroyFile(LbFile) { return 1; }
void NoReset() {}

void BM_LoadAndRun100kLines(benchmark::State& state) {
  gHost.lbCreateFile = CreateFile;
  gHost.lbReadFileLine = ReadFileLine;
  gHost.lbDestroyFile = DestroyFile;
  ScenarioHooks hooks;
  hooks.dispatchCommand = DispatchCommand;
  hooks.resetPresentation = NoReset;
  InstallScenarioHooks(hooks);

  char result[kScenarioResultSize];
  double total = 0;
  for (auto _ : state) {
    double start = cpuSeconds();
    RunScenario("scn/bench", result, sizeof result, "start:", false);
    total += cpuSeconds() - start;
    benchmark::DoNotOptimize(result);
  }
  if (std::string(result) != "done") state.SkipWithError("the scenario did not run to its end");
  state.counters["lines/s"] = benchmark::Counter(static_cast<double>(Scenario100k().size()) *
                                                     static_cast<double>(state.iterations()),
                                                 benchmark::Counter::kIsRate);
  const double lines = static_cast<double>(Scenario100k().size()) * state.iterations();
  state.counters["ns/line"] = total * 1e9 / lines;
  state.counters["loops"] = total * 1e9 / lines / emptyLoopNanoseconds();
}
BENCHMARK(BM_LoadAndRun100kLines)->Unit(benchmark::kMillisecond);

// The yardstick on its own: an empty loop over the same lines, each only handed to the
// optimiser.
void BM_EmptyLoopOverLines(benchmark::State& state) {
  for (auto _ : state)
    for (const std::string& line : Scenario100k()) benchmark::DoNotOptimize(line.data());
}
BENCHMARK(BM_EmptyLoopOverLines)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
