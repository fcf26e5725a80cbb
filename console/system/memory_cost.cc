#include "console/system/memory_cost.h"

#include <cstdint>

namespace console {
namespace {

// glibc's allocator: an 8-byte size header per block, blocks aligned to 16 bytes and never
// under 32; a block of its mmap threshold (128 KiB until a freed mapped block raises it) gets
// a mapping of its own, whole pages holding the block and a second header.
constexpr uint64_t kBlockHeader = 8;
constexpr uint64_t kBlockAlignment = 16;
constexpr uint64_t kSmallestBlock = 32;
constexpr uint64_t kMappedBlock = 128 * 1024;
constexpr uint64_t kPageTableEntry = 8;

uint64_t saturatingAdd(uint64_t a, uint64_t b) {
  uint64_t sum = 0;
  return __builtin_add_overflow(a, b, &sum) ? UINT64_MAX : sum;
}

// `bytes` rounded up to a multiple of `unit`, a power of two.
uint64_t roundUp(uint64_t bytes, uint64_t unit) {
  const uint64_t padded = saturatingAdd(bytes, unit - 1);
  return padded == UINT64_MAX ? UINT64_MAX : padded & ~(unit - 1);
}

uint64_t pagesBegun(uint64_t bytes) { return bytes / kPageBytes + (bytes % kPageBytes != 0); }

}  // namespace

uint64_t allocatorBlockBytes(uint64_t requestBytes) {
  const uint64_t block = roundUp(saturatingAdd(requestBytes, kBlockHeader), kBlockAlignment);
  if (block < kSmallestBlock) return kSmallestBlock;
  if (block < kMappedBlock) return block;
  return roundUp(saturatingAdd(block, kBlockHeader), kPageBytes);
}

uint64_t pageTableBytes(uint64_t blockBytes) { return pagesBegun(blockBytes) * kPageTableEntry; }

uint64_t memoryTaken(uint64_t blockBytes) {
  return saturatingAdd(blockBytes, pageTableBytes(blockBytes));
}

uint64_t arrayMemory(uint64_t count, uint64_t elementBytes) {
  uint64_t requestBytes = 0;
  if (__builtin_mul_overflow(count, elementBytes, &requestBytes)) return UINT64_MAX;
  return memoryTaken(allocatorBlockBytes(requestBytes));
}

bool needsNewPages(uint64_t heldBytes, uint64_t neededBytes) {
  return pagesBegun(neededBytes) > pagesBegun(heldBytes);
}

}  // namespace console
