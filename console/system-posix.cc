#include <unistd.h>

#include <cstdint>
#include <ctime>

#include "console/system.h"

namespace console {

int64_t currentTime() { return static_cast<int64_t>(std::time(nullptr)); }

uint64_t physicalMemory() {
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

}  // namespace console
