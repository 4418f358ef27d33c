// The yardsticks the benchmarks share: processor time of the calling thread, and the
// processor time of one plain copy of an 800x600x4 frame, measured once per run.
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

// Processor nanoseconds for one plain copy of a frame's bytes.
inline double memcpyNanoseconds() {
  static double ns = [] {
    std::vector<uint32_t> from(800 * 600, 1), to(800 * 600);
    const int rounds = 200;
    double start = cpuSeconds();
    for (int i = 0; i < rounds; ++i) {
      std::memcpy(to.data(), from.data(), from.size() * 4);
      benchmark::DoNotOptimize(to.data());
      benchmark::ClobberMemory();
    }
    return (cpuSeconds() - start) * 1e9 / rounds;
  }();
  return ns;
}
