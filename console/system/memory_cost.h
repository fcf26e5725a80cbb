// What a block costs in memory as the kernel counts it: the allocator's own bytes around it,
// whole pages where the allocator maps the block by itself, and the page tables that map it.
// Pure arithmetic, saturating at the largest value instead of wrapping.
#ifndef CONSOLE_SYSTEM_MEMORY_COST_H_
#define CONSOLE_SYSTEM_MEMORY_COST_H_

#include <cstdint>

namespace console {

/// The page size the costs are counted in.
inline constexpr uint64_t kPageBytes = 4096;

/// The bytes the C library's allocator takes for a block of `requestBytes`: the request and an
/// 8-byte header rounded up to 16 bytes, at least 32. A block of 128 KiB or more that way is
/// mapped on its own: another 8 bytes, rounded up to whole pages.
uint64_t allocatorBlockBytes(uint64_t requestBytes);

/// The page tables that map `blockBytes`: 8 bytes for each page begun.
uint64_t pageTableBytes(uint64_t blockBytes);

/// What blocks of `blockBytes` in all take with their page tables.
uint64_t memoryTaken(uint64_t blockBytes);

/// The memory an array of `count` elements of `elementBytes` takes as one block: its
/// allocator block with the page tables.
uint64_t arrayMemory(uint64_t count, uint64_t elementBytes);

/// True when memory growing from `heldBytes` to `neededBytes` reaches into a page the first
/// does not fill yet, so that the system must give more.
bool needsNewPages(uint64_t heldBytes, uint64_t neededBytes);

}  // namespace console

#endif  // CONSOLE_SYSTEM_MEMORY_COST_H_
