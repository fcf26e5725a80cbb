// The fuzzing build's machine: a clock that stands still and a few kilobytes of memory, so that
// a whole dialogue runs the same way many times in one process.
#include "console/system/system.h"

#ifndef CONSOLE_FUZZ_MEMORY_BYTES
#define CONSOLE_FUZZ_MEMORY_BYTES 8192
#endif

namespace console {

int64_t currentTime() { return 0; }

uint64_t physicalMemory() { return CONSOLE_FUZZ_MEMORY_BYTES; }

// The fuzzing machine has no kernel files.
std::optional<std::string> readSystemFile(const std::string&) { return std::nullopt; }

uint64_t memoryForBlock(uint64_t) { return CONSOLE_FUZZ_MEMORY_BYTES; }

unsigned availableCores() { return 1; }

}  // namespace console
