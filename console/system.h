// What the programs ask of the system beyond the standard streams: the clock and the size of
// memory. The fuzzing build answers from a small machine of its own (system-fuzz.cc).
#ifndef CONSOLE_SYSTEM_H_
#define CONSOLE_SYSTEM_H_

#include <cstdint>

namespace console {

/// The current calendar time in whole seconds since 1970-01-01 UTC.
int64_t currentTime();

/// The machine's physical memory in bytes, the most a block may take without the system
/// killing the process as it is filled; the largest value when it cannot be told.
uint64_t physicalMemory();

}  // namespace console

#endif  // CONSOLE_SYSTEM_H_
