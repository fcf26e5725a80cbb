// The console services of the fuzzing build: a small machine without a terminal, whose clock
// stands still and whose exit returns to the caller, so that a whole dialogue can run many
// times in one process over input held in memory.
#include "console/console.h"

#include <iostream>

#include "console/c_random.h"
#include "console/console_fuzz.h"

#ifndef CONSOLE_FUZZ_MEMORY_BYTES
#define CONSOLE_FUZZ_MEMORY_BYTES 8192
#endif

namespace console {

void clearScreen() { std::cout.flush(); }

bool waitForKey() {
  if (std::cout.flush().fail()) return false;
  if (std::cin.eof() || waitForCharacter(std::cin)) return true;
  std::cin.setstate(std::ios_base::badbit);
  return false;
}

int64_t currentTime() { return 0; }

void endProcess(int status) { throw ProgramExit{status}; }

uint64_t physicalMemory() { return CONSOLE_FUZZ_MEMORY_BYTES; }

void adviseHugePages(void* /*block*/, size_t /*bytes*/) {}

HeapGrowth beginHeapGrowth(size_t /*bytes*/) { return {false, 0}; }

void adviseHeapGrowth(HeapGrowth& /*growth*/) {}

void endHeapGrowth(const HeapGrowth& /*growth*/) {}

bool libraryRandForced() { return false; }

}  // namespace console
