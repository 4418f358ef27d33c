// orvane check on whole games, as an author runs it (the program, start to finish): the
// bundled game, and a generated game of 200 scenario files of 1,000 lines each (commands,
// story text with tags and links, labels and jumps between the files). The baseline, measured
// in the same run, reads the generated game's files and splits them into lines, so the
// ratio says what reading with the engine's readers and following every name costs on top
// of touching the bytes.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;

namespace {

constexpr int kFiles = 200;
constexpr int kLines = 1000;

const fs::path& generatedGame() {
  static const fs::path dir = [] {
    fs::path d = fs::temp_directory_path() / ("orvane_check_bench_" + std::to_string(getpid()));
    fs::remove_all(d);
    fs::create_directories(d / "scn" / "big");
    fs::copy(fs::path(GAME_DIR) / "sys", d / "sys", fs::copy_options::recursive);
    fs::copy(fs::path(GAME_DIR) / "bgm", d / "bgm", fs::copy_options::recursive);
    for (int f = 0; f < kFiles; ++f) {
      std::ofstream out(d / "scn" / "big" / ("f" + std::to_string(f) + ".scn"));
      const std::string next = "f" + std::to_string((f + 1) % kFiles);
      for (int line = 0; line < kLines; line += 10) {
        out << ":l" << line << "\n"
            << "@textShowMessage\n"
            << "@backSet file=bg_court_main fade\n"
            << "@charaShowCenter file=hoshino wipe\n"
            << "; a comment\n"
            << "a line of story text[br]with a break[np]\n"
            << "[cr]red[c] and [link target=" << next << ":l" << line << "]a link[/link][np]\n"
            << "@sePlay file=文字クリック\n"
            << "@goto target=l" << (line + 10) % kLines << "\n"
            << "@courtShowLife wipe\n";
      }
    }
    return d;
  }();
  return dir;
}

void runCheck(benchmark::State& state, const std::string& game) {
  const std::string command = std::string(ORVANE_BIN_DIR) + "/orvane-check " + game + " >/dev/null 2>&1";
  for (auto _ : state) {
    int status = std::system(command.c_str());
    benchmark::DoNotOptimize(status);
  }
}

void BM_Baseline_ReadGeneratedLines(benchmark::State& state) {
  const fs::path& game = generatedGame();
  for (auto _ : state) {
    std::size_t lines = 0;
    for (const auto& entry : fs::directory_iterator(game / "scn" / "big")) {
      std::ifstream in(entry.path());
      for (std::string line; std::getline(in, line);) ++lines;
    }
    benchmark::DoNotOptimize(lines);
  }
}

void BM_Check_BundledGame(benchmark::State& state) { runCheck(state, std::string(GAME_DIR)); }

void BM_Check_Generated200x1000(benchmark::State& state) {
  runCheck(state, generatedGame().string());
  state.counters["lines"] = double(kFiles) * kLines;
}

}  // namespace

// The checks run in a child process: only wall-clock time says anything about them.
BENCHMARK(BM_Baseline_ReadGeneratedLines)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Check_BundledGame)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_Check_Generated200x1000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  fs::remove_all(generatedGame());
  return 0;
}
