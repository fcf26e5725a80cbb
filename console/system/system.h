// What the programs ask of the system beyond the standard streams: the clock and the memory
// a block may take. The fuzzing build answers from a small machine of its own (system-fuzz.cc).
#ifndef CONSOLE_SYSTEM_SYSTEM_H_
#define CONSOLE_SYSTEM_SYSTEM_H_

#include <cstdint>
#include <optional>
#include <string>

namespace console {

/// The current calendar time in whole seconds since 1970-01-01 UTC.
int64_t currentTime();

/// The machine's physical memory in bytes, told once; the largest value when it cannot be told.
uint64_t physicalMemory();

/// The whole text of a kernel file such as /proc/meminfo; nothing when it cannot be opened or
/// read, or is larger than 64 KiB, which no file read here should be.
std::optional<std::string> readSystemFile(const std::string& path);

/// The most memory a new block may take now, counted as console/system/memory_cost.h counts it,
/// without the system killing the process as it is filled: the least of the physical memory,
/// the memory available plus free swap, and what the limits of the memory cgroups of the
/// process leave to its working set (see console/system/memory_limits.h). The cgroups are found at
/// the first call; their files and /proc/meminfo are read at each. `heldBytes`, the memory of
/// a block the new one replaces, counts as free. A bound that cannot be read does not apply;
/// the largest value when none can.
uint64_t memoryForBlock(uint64_t heldBytes);

/// How many worker threads a piece of work may use: the CPUs the process may run on (its
/// affinity), no more than its cgroups' CPU quota rounded up (see console/system/cpu_limits.h), at
/// least 1. Read once.
unsigned availableCores();

}  // namespace console

#endif  // CONSOLE_SYSTEM_SYSTEM_H_
