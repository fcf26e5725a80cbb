#include <fcntl.h>
#include <sched.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "console/system/cpu_limits.h"
#include "console/system/memory_limits.h"
#include "console/system/system.h"

namespace console {
namespace {

// The kernel's files read here take a few kilobytes; a larger one is not what it should be.
constexpr size_t kLargestSystemFile = 1 << 16;

uint64_t readPhysicalMemory() {
  const long pages = ::sysconf(_SC_PHYS_PAGES);
  const long pageSize = ::sysconf(_SC_PAGE_SIZE);
  uint64_t bytes = 0;
  if (pages <= 0 || pageSize <= 0 ||
      __builtin_mul_overflow(static_cast<uint64_t>(pages), static_cast<uint64_t>(pageSize),
                             &bytes)) {
    return UINT64_MAX;
  }
  return bytes;
}

}  // namespace

std::optional<std::string> readSystemFile(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  std::string text;
  char chunk[4096];
  ssize_t got = 0;
  while ((got = ::read(fd, chunk, sizeof chunk)) != 0) {
    if (got < 0 && errno == EINTR) continue;
    if (got < 0 || text.size() + static_cast<size_t>(got) > kLargestSystemFile) {
      ::close(fd);
      return std::nullopt;
    }
    text.append(chunk, static_cast<size_t>(got));
  }
  ::close(fd);
  return text;
}

int64_t currentTime() { return static_cast<int64_t>(std::time(nullptr)); }

uint64_t physicalMemory() {
  // The machine's memory stays what it was when the process started.
  static const uint64_t bytes = readPhysicalMemory();
  return bytes;
}

uint64_t memoryForBlock(uint64_t heldBytes) {
  // The cgroups of the process, and so the files of their limits, stay as they were found.
  static const std::vector<CgroupLimit> limits =
      cgroupLimits(readSystemFile("/proc/self/cgroup").value_or(""));
  return blockMemory(physicalMemory(), heldBytes, limits, readSystemFile);
}

unsigned availableCores() {
  static const unsigned cores = [] {
    cpu_set_t cpus;
    const bool known = ::sched_getaffinity(0, sizeof cpus, &cpus) == 0;
    return workerCount(known ? static_cast<unsigned>(CPU_COUNT(&cpus)) : 1, readSystemFile);
  }();
  return cores;
}

}  // namespace console
