#include "console/system/memory_cost.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

TEST(AllocatorBlockBytes, RoundsAsTheAllocatorDoes) {
  const struct {
    uint64_t request;
    uint64_t bytes;
  } cases[] = {
      {0, 32},
      {24, 32},                // 24 + 8 = 32
      {25, 48},                // 33 -> 48
      {131048, 131056},        // 131056: the largest block on the heap
      {131049, 135168},        // 131057 -> 131072: mapped, 131080 -> 33 pages
      {131072, 135168},        // a gridstat row of 32768 columns: 131088 -> 131096 -> 33 pages
      {266338296, 266342400},  // 266338304 + 8 -> 65026 pages
      {UINT64_MAX - 7, UINT64_MAX},
      {UINT64_MAX, UINT64_MAX},
  };
  for (const auto& row : cases) {
    EXPECT_EQ(row.bytes, console::allocatorBlockBytes(row.request)) << row.request;
  }
}

TEST(MemoryTaken, AddsEightBytesOfPageTableAPage) {
  EXPECT_EQ(0u, console::pageTableBytes(0));
  EXPECT_EQ(8u, console::pageTableBytes(1));
  EXPECT_EQ(8u, console::pageTableBytes(4096));
  EXPECT_EQ(16u, console::pageTableBytes(4097));
  // 256 MiB need 512 KiB of page tables.
  EXPECT_EQ(512u << 10, console::pageTableBytes(256u << 20));
  EXPECT_EQ(4096u + 8, console::memoryTaken(4096));
  EXPECT_EQ(UINT64_MAX, console::memoryTaken(UINT64_MAX));
  // 40,000,000 doubles: 320,000,016 + 8 bytes -> 78,126 pages, each with 8 bytes of page table.
  EXPECT_EQ(78126u * 4096 + 78126u * 8, console::arrayMemory(40000000, 8));
  EXPECT_EQ(32u + 8, console::arrayMemory(1, 8));
  EXPECT_EQ(UINT64_MAX, console::arrayMemory(UINT64_MAX, 8));
}

TEST(NeedsNewPages, OnlyWhenAPageIsBegun) {
  EXPECT_FALSE(console::needsNewPages(4096, 4096));
  EXPECT_FALSE(console::needsNewPages(4000, 4096));
  EXPECT_TRUE(console::needsNewPages(4096, 4097));
  EXPECT_TRUE(console::needsNewPages(0, 1));
  EXPECT_FALSE(console::needsNewPages(8192, 4097));
}

}  // namespace
