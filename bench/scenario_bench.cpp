// Scenario speed: a generated 100,000-line scenario of labels, jumps, comments and flow
// commands, loaded and run to its end through the real loader, run loop and dispatcher. The
// file is served from memory, so the counter is the engine's own lines per second.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

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
  for (auto _ : state) {
    RunScenario("scn/bench", result, sizeof result, "start:", false);
    benchmark::DoNotOptimize(result);
  }
  if (std::string(result) != "done") state.SkipWithError("the scenario did not run to its end");
  state.counters["lines/s"] = benchmark::Counter(static_cast<double>(Scenario100k().size()) *
                                                     static_cast<double>(state.iterations()),
                                                 benchmark::Counter::kIsRate);
}
BENCHMARK(BM_LoadAndRun100kLines)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
