// What a benchmark process reads of its own memory from /proc.
#ifndef BENCH_PROCESS_MEMORY_H_
#define BENCH_PROCESS_MEMORY_H_

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

#endif  // BENCH_PROCESS_MEMORY_H_
