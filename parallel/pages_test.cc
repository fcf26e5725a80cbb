#include "parallel/pages.h"

#include <gtest/gtest.h>
#include <malloc.h>

#include <cstdlib>
#include <numeric>
#include <vector>

namespace {

using parallel::prepareHeap;
using parallel::takePages;

// Every byte keeps its value, inside the range and on both sides of it, wherever the range
// starts and ends within its pages.
TEST(TakePages, LeavesEveryByteAsItWas) {
  std::vector<unsigned char> bytes(5 * 4096 + 123);
  std::iota(bytes.begin(), bytes.end(), 0);
  const std::vector<unsigned char> before = bytes;
  const size_t ranges[][2] = {{0, bytes.size()}, {1, 4095}, {17, 3 * 4096 + 9}, {100, 0}};
  for (const auto& [offset, length] : ranges) {
    takePages(bytes.data() + offset, length);
    EXPECT_TRUE(bytes == before) << offset << " + " << length;
  }
}

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define SANITIZER_HEAP 1
#endif

// The heap keeps what was prepared, and goes back to the library's thresholds: once a block
// carved from it is freed, the heap gives its free top back to the system.
TEST(PrepareHeap, KeepsThePiecesAndRestoresTheThresholds) {
#ifdef SANITIZER_HEAP
  GTEST_SKIP() << "the sanitizer's allocator has no heap to prepare";
#else
  prepareHeap(size_t{64} << 20, 2);
  EXPECT_GE(mallinfo2().fordblks, size_t{64} << 20);

  void* block = std::malloc(size_t{1} << 20);
  std::free(block);
  // What the top of the heap keeps: the library's own padding.
  EXPECT_LT(mallinfo2().keepcost, size_t{1} << 20);
#endif
}

// One worker, or too little to be worth threads: the heap is left as it was.
TEST(PrepareHeap, LeavesTheHeapAloneOnOneWorkerOrForLittle) {
#ifdef SANITIZER_HEAP
  GTEST_SKIP() << "the sanitizer's allocator has no heap to prepare";
#else
  const size_t freeBefore = mallinfo2().fordblks;
  prepareHeap(size_t{64} << 20, 1);
  prepareHeap(size_t{15} << 20, 4);
  EXPECT_EQ(freeBefore, mallinfo2().fordblks);
#endif
}

}  // namespace
