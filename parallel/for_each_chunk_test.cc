#include "parallel/for_each_chunk.h"

#include <gtest/gtest.h>
#include <pthread.h>

#include <atomic>
#include <csignal>
#include <vector>

namespace {

using parallel::chunkCount;
using parallel::forEachChunk;
using parallel::threadCount;

TEST(ChunkCount, AThreadPerWorkerEightChunksEachNoneShorterThanTheLeast) {
  struct Case {
    size_t count, minChunk;
    unsigned workers;
    size_t threads, chunks;
  };
  const Case cases[] = {{1000, 10, 4, 4, 32},     {1000, 300, 4, 3, 3}, {1000, 100, 4, 4, 10},
                        {1000, 2000, 4, 1, 1},    {0, 10, 4, 1, 1},     {1000, 10, 1, 1, 1},
                        {1000, 10, 0, 1, 1},      {1000, 0, 3, 3, 24},  {15, 1, 2, 2, 15},
                        {100000, 1, 500, 64, 512}};
  for (const Case& c : cases) {
    EXPECT_EQ(c.threads, threadCount(c.count, c.minChunk, c.workers))
        << c.count << " " << c.minChunk << " " << c.workers;
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
  const pthread_t caller = pthread_self();
  std::vector<int> blockedInChunk(32, -1);
  std::vector<char> onCaller(32);
  forEachChunk(32, 1, 4, [&](size_t begin, size_t) {
    sigset_t mask;
    pthread_sigmask(SIG_SETMASK, nullptr, &mask);
    blockedInChunk[begin] = sigismember(&mask, SIGINT) + sigismember(&mask, SIGTSTP) +
                            sigismember(&mask, SIGTERM) + sigismember(&mask, SIGPIPE);
    onCaller[begin] = pthread_equal(pthread_self(), caller) != 0 ? 1 : 0;
  });
  for (size_t i = 0; i < 32; ++i) {
    EXPECT_EQ(onCaller[i] ? sigismember(&before, SIGINT) * 4 : 4, blockedInChunk[i]) << i;
  }
  sigset_t after;
  pthread_sigmask(SIG_SETMASK, nullptr, &after);
  EXPECT_EQ(sigismember(&before, SIGINT), sigismember(&after, SIGINT));
  EXPECT_EQ(sigismember(&before, SIGTSTP), sigismember(&after, SIGTSTP));
}

}  // namespace
