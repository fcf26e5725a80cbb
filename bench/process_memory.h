// What a benchmark process reads of its own memory from /proc.
#ifndef BENCH_PROCESS_MEMORY_H_
#define BENCH_PROCESS_MEMORY_H_

#include <benchmark/benchmark.h>

#include <fstream>
#include <string>

/// The value of `field` in the /proc file at `path`, in MiB (the file gives kB); -1 when absent.
inline double procMiB(const char* path, const std::string& field) {
  std::ifstream status(path);
  for (std::string line; std::getline(status, line);) {
    if (line.starts_with(field)) return std::stod(line.substr(field.size())) / 1024.0;
  }
  return -1.0;
}

/// Whether the memory of this process got huge pages, which it counts for the run.
inline std::string pagesName(benchmark::State& state) {
  const double hugeMiB = procMiB("/proc/self/smaps_rollup", "AnonHugePages:");
  state.counters["huge_page_MiB"] = hugeMiB;
  return hugeMiB > 0 ? "huge pages" : "small pages";
}

#endif  // BENCH_PROCESS_MEMORY_H_
