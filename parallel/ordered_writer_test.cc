#include "parallel/ordered_writer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

using parallel::kPieceBytes;
using parallel::writeInOrder;

// Item i is the text of its number and a line end; a copy counts the items it formatted in a row
// without a gap, to show that each thread keeps its own copy of the format.
struct NumberLines {
  size_t nextExpected = 0;
  std::atomic<size_t>* gaps;
  char* operator()(size_t begin, size_t end, char* out) {
    if (begin != nextExpected) ++*gaps;
    for (size_t i = begin; i < end; ++i) {
      const std::string line = std::to_string(i) + "\n";
      std::memcpy(out, line.data(), line.size());
      out += line.size();
    }
    nextExpected = end;
    return out;
  }
};

constexpr size_t kItemRoom = 16;

std::string numberLines(size_t count) {
  std::string text;
  for (size_t i = 0; i < count; ++i) text += std::to_string(i) + "\n";
  return text;
}

TEST(WriteInOrder, WritesTheSameTextWhateverTheWorkers) {
  std::vector<char> ownBuffer(4096);
  // One piece, several, and a last piece not full.
  for (const size_t count : {size_t{0}, size_t{7}, kPieceBytes / kItemRoom * 5 + 3}) {
    for (const unsigned workers : {1u, 2u, 3u, 8u}) {
      std::atomic<size_t> gaps = 0;
      std::string written;
      std::thread::id writer;
      const bool wrote = writeInOrder(count, kItemRoom, workers, ownBuffer, NumberLines{0, &gaps},
                                      [&](const char* text, size_t length) {
                                        written.append(text, length);
                                        writer = std::this_thread::get_id();
                                        return true;
                                      });
      EXPECT_TRUE(wrote);
      EXPECT_TRUE(written == numberLines(count)) << count << " items, " << workers << " workers";
      if (count > 0) {
        EXPECT_EQ(std::this_thread::get_id(), writer);
      }
      if (workers == 1) {
        EXPECT_EQ(0u, gaps.load()) << "one thread formats the items in one run";
      }
    }
  }
}

// The first failed write ends it all: nothing is written after it.
TEST(WriteInOrder, StopsAtTheFirstFailedWrite) {
  std::vector<char> ownBuffer(4096);
  const size_t count = kPieceBytes / kItemRoom * 20;
  for (const unsigned workers : {1u, 2u, 4u}) {
    for (const int failing : {1, 2, 5}) {
      std::atomic<size_t> gaps = 0;
      int writes = 0;
      int writesAfterFailure = 0;
      const bool wrote = writeInOrder(count, kItemRoom, workers, ownBuffer, NumberLines{0, &gaps},
                                      [&](const char*, size_t) {
                                        ++writes;
                                        if (writes > failing) ++writesAfterFailure;
                                        return writes != failing;
                                      });
      EXPECT_FALSE(wrote);
      EXPECT_EQ(failing, writes) << workers << " workers";
      EXPECT_EQ(0, writesAfterFailure);
    }
  }
}

}  // namespace
