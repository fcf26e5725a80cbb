#include "parallel/pages.h"

#include <gtest/gtest.h>
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

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

// A range that ends where a page ends: the page after it, which may not be written, is left
// alone.
TEST(TakePages, WritesNothingPastTheEnd) {
  const auto page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
  void* mapping =
      mmap(nullptr, 3 * page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  ASSERT_NE(MAP_FAILED, mapping);
  auto* bytes = static_cast<unsigned char*>(mapping);
  ASSERT_EQ(0, mprotect(bytes + 2 * page, page, PROT_READ));
  takePages(bytes, 2 * page);
  takePages(bytes + 100, page - 100);
  EXPECT_EQ(0, bytes[2 * page - 1]);
  munmap(mapping, 3 * page);
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

  // Written through, so that an optimising compiler keeps the allocation and the free.
  auto* volatile block = static_cast<char*>(std::malloc(size_t{1} << 20));
  block[0] = 1;
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
