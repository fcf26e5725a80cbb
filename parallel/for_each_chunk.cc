#include "parallel/for_each_chunk.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <thread>

#include "parallel/worker.h"

namespace parallel {
namespace {

// The threads of one call are kept on the stack, a few KiB: no allocation that could fail.
constexpr size_t kMostThreads = 64;
constexpr size_t kChunksPerThread = 8;

struct Chunks {
  ChunkFunction function;
  void* body;
  size_t count;
  size_t chunks;
  std::atomic<size_t> next = 0;  // the first chunk no thread has taken
};

// One thread's part: the next chunk left, until none is.
void takeChunks(void* shared) {
  Chunks& c = *static_cast<Chunks*>(shared);
  const size_t length = c.count / c.chunks;
  const size_t longer = c.count % c.chunks;  // the first chunks are one longer
  for (size_t i = c.next++; i < c.chunks; i = c.next++) {
    c.function(c.body, length * i + std::min(i, longer),
               length * (i + 1) + std::min(i + 1, longer));
  }
}

}  // namespace

size_t threadCount(size_t count, size_t minChunk, unsigned workers) {
  const size_t byLength = count / std::max<size_t>(minChunk, 1);
  return std::clamp<size_t>(byLength, 1, std::clamp<size_t>(workers, 1, kMostThreads));
}

size_t chunkCount(size_t count, size_t minChunk, unsigned workers) {
  const size_t threads = threadCount(count, minChunk, workers);
  if (threads == 1) return 1;
  const size_t byLength = count / std::max<size_t>(minChunk, 1);
  return std::clamp<size_t>(byLength, threads, threads * kChunksPerThread);
}

void runChunks(size_t count, size_t threads, size_t chunks, ChunkFunction function, void* body) {
  if (chunks <= 1) {
    function(body, 0, count);
    return;
  }
  Chunks shared{function, body, count, chunks};
  std::array<std::thread, kMostThreads> started;
  size_t startedCount = 0;
  for (size_t i = 1; i < threads; ++i) {
    if (startWorker(&started[startedCount], takeChunks, &shared)) ++startedCount;
  }
  takeChunks(&shared);
  for (size_t i = 0; i < startedCount; ++i) started[i].join();
}

}  // namespace parallel
