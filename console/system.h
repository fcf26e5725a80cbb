// What the programs ask of the system beyond the standard streams: the clock and the memory
// a block may take. The fuzzing build answers from a small machine of its own (system-fuzz.cc).
#ifndef CONSOLE_SYSTEM_H_
#define CONSOLE_SYSTEM_H_

#include <cstdint>

namespace console {

/// The current calendar time in whole seconds since 1970-01-01 UTC.
int64_t currentTime();

/// The machine's physical memory in bytes; the largest value when it cannot be told.
uint64_t physicalMemory();

/// The most bytes a new block may take now without the system killing the process as it is
/// filled: the least of the physical memory, the memory available plus free swap, and what the
/// limit of each memory cgroup of the process leaves (see console/memory_limits.h), read once.
/// `heldBytes`, the size of a block the new one replaces, counts as free. A bound that cannot
/// be read does not apply; the largest value when none can.
uint64_t memoryForBlock(uint64_t heldBytes);

/// How many worker threads a piece of work may use: the CPUs the process may run on (its
/// affinity), no more than its cgroups' CPU quota rounded up (see console/cpu_limits.h), at
/// least 1. Read once.
unsigned availableCores();

}  // namespace console

#endif  // CONSOLE_SYSTEM_H_
