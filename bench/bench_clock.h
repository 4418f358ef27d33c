// The yardsticks the benchmarks share: processor time of the calling thread, and the
// processor time of one plain copy of an 800x600x4 frame, measured next to the work it is
// compared with, so that both see the same machine at the same moment.
#pragma once

#include <benchmark/benchmark.h>
#include <time.h>

#include <cstdint>
#include <cstring>
#include <vector>

// Processor time of this thread: what the work costs on one core, whatever else the machine
// is running at the time.
inline double cpuSeconds() {
  timespec now;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Frame copies taken between pieces of the work being measured: each copy() copies one
// frame's bytes and adds its processor time.
class FrameCopies {
 public:
  FrameCopies() : from_(800 * 600, 1), to_(800 * 600) {}
  void copy(int times = 1) {
    for (int i = 0; i < times; ++i) {
      double start = cpuSeconds();
      std::memcpy(to_.data(), from_.data(), from_.size() * 4);
      benchmark::DoNotOptimize(to_.data());
      benchmark::ClobberMemory();
      seconds_ += cpuSeconds() - start;
      ++count_;
    }
  }
  double nanoseconds() const { return count_ ? seconds_ * 1e9 / count_ : 0.0; }
  // Processor seconds spent on `units` units of work, in these copies per unit; also the
  // unit's time and the copy's, in microseconds.
  void report(benchmark::State& state, double seconds, double units) const {
    state.counters["cpu_us"] = seconds * 1e6 / units;
    state.counters["copy_us"] = nanoseconds() * 1e-3;
    state.counters["memcpys"] = seconds * 1e9 / units / nanoseconds();
  }

 private:
  std::vector<uint32_t> from_, to_;
  double seconds_ = 0;
  long count_ = 0;
};

// Processor nanoseconds for one plain copy of a frame's bytes, measured once per run (for
// work that cannot be interleaved with copies, such as another process).
inline double memcpyNanoseconds() {
  static double ns = [] {
    FrameCopies copies;
    copies.copy(200);
    return copies.nanoseconds();
  }();
  return ns;
}
