#include "parallel/for_each_chunk.h"

#include <gtest/gtest.h>
#include <pthread.h>

#include <atomic>
#include <csignal>
#include <vector>

namespace {

using parallel::chunkCount;
using parallel::forEachChunk;

TEST(ChunkCount, OneChunkPerWorkerNoneShorterThanTheLeast) {
  struct Case {
    size_t count, minChunk;
    unsigned workers;
    size_t chunks;
  };
  const Case cases[] = {{1000, 10, 4, 4}, {1000, 300, 4, 3},   {1000, 2000, 4, 1},
                        {0, 10, 4, 1},    {1000, 10, 1, 1},    {1000, 10, 0, 1},
                        {1000, 0, 3, 3},  {100000, 1, 500, 64}};
  for (const Case& c : cases) {
    EXPECT_EQ(c.chunks, chunkCount(c.count, c.minChunk, c.workers))
        << c.count << " " << c.minChunk << " " << c.workers;
  }
}

// Every index is visited exactly once, in contiguous chunks, whatever the split.
TEST(ForEachChunk, CoversEveryIndexOnceInContiguousChunks) {
  for (const unsigned workers : {1u, 2u, 3u, 7u, 64u}) {
    for (const size_t count : {size_t{0}, size_t{1}, size_t{5}, size_t{64}, size_t{1001}}) {
      std::vector<std::atomic<int>> visits(count);
      std::atomic<size_t> chunks = 0;
      forEachChunk(count, 1, workers, [&](size_t begin, size_t end) {
        ++chunks;
        for (size_t i = begin; i < end; ++i) ++visits[i];
      });
      for (size_t i = 0; i < count; ++i) ASSERT_EQ(1, visits[i]) << workers << " " << count;
      EXPECT_EQ(chunkCount(count, 1, workers), chunks.load());
    }
  }
}

// Signals reach the main thread: a worker has every one blocked, the caller none more after.
TEST(ForEachChunk, WorkersHaveEverySignalBlockedAndTheCallersMaskStays) {
  sigset_t before;
  pthread_sigmask(SIG_SETMASK, nullptr, &before);
  std::vector<int> blockedInChunk(4, -1);
  forEachChunk(4, 1, 4, [&](size_t begin, size_t) {
    sigset_t mask;
    pthread_sigmask(SIG_SETMASK, nullptr, &mask);
    blockedInChunk[begin] = sigismember(&mask, SIGINT) + sigismember(&mask, SIGTSTP) +
                            sigismember(&mask, SIGTERM) + sigismember(&mask, SIGPIPE);
  });
  EXPECT_EQ(sigismember(&before, SIGINT) * 4, blockedInChunk[0]);  // the calling thread
  for (size_t i = 1; i < 4; ++i) EXPECT_EQ(4, blockedInChunk[i]) << i;
  sigset_t after;
  pthread_sigmask(SIG_SETMASK, nullptr, &after);
  EXPECT_EQ(sigismember(&before, SIGINT), sigismember(&after, SIGINT));
  EXPECT_EQ(sigismember(&before, SIGTSTP), sigismember(&after, SIGTSTP));
}

}  // namespace
