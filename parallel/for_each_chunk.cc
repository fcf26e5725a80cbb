#include "parallel/for_each_chunk.h"

#include <algorithm>
#include <array>
#include <thread>

#include "parallel/worker.h"

namespace parallel {
namespace {

// The threads of one call are kept on the stack, a few KiB: no allocation that could fail.
constexpr size_t kMostChunks = 64;

struct Chunk {
  ChunkFunction function;
  void* body;
  size_t begin;
  size_t end;
};

void runChunk(void* chunk) {
  const Chunk& c = *static_cast<const Chunk*>(chunk);
  c.function(c.body, c.begin, c.end);
}

}  // namespace

size_t chunkCount(size_t count, size_t minChunk, unsigned workers) {
  const size_t byLength = count / std::max<size_t>(minChunk, 1);
  return std::clamp<size_t>(byLength, 1, std::clamp<size_t>(workers, 1, kMostChunks));
}

void runChunks(size_t count, size_t chunks, ChunkFunction function, void* body) {
  if (chunks <= 1) {
    function(body, 0, count);
    return;
  }
  std::array<Chunk, kMostChunks> parts;
  std::array<std::thread, kMostChunks> threads;
  std::array<bool, kMostChunks> started{};
  for (size_t i = 0; i < chunks; ++i) {
    parts[i] = Chunk{function, body, count / chunks * i + std::min(i, count % chunks),
                     count / chunks * (i + 1) + std::min(i + 1, count % chunks)};
  }
  for (size_t i = 1; i < chunks; ++i) started[i] = startWorker(&threads[i], runChunk, &parts[i]);
  runChunk(&parts[0]);
  for (size_t i = 1; i < chunks; ++i) {
    if (started[i]) {
      threads[i].join();
    } else {
      runChunk(&parts[i]);
    }
  }
}

}  // namespace parallel
