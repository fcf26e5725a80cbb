// A loop over [0, count) split into consecutive chunks, which a few threads take in turn, each
// the next chunk left, until none is left. Each chunk is worked on by one thread from its start
// to its end, so that a chunk of a fresh block is also first touched (and its pages cleared by
// the kernel) by the thread that fills it; taken in turn, a thread that started late or runs on
// a slower core takes fewer of them, and the others do not wait for it.
#ifndef PARALLEL_FOR_EACH_CHUNK_H_
#define PARALLEL_FOR_EACH_CHUNK_H_

#include <cstddef>
#include <type_traits>

namespace parallel {

/// The number of threads `forEachChunk` uses: `workers` at most (and 64 at most), and fewer when
/// each would have less than `minChunk`; at least 1.
size_t threadCount(size_t count, size_t minChunk, unsigned workers);

/// The number of chunks `forEachChunk` makes: 8 per thread, and fewer when a chunk would be
/// shorter than `minChunk`; one per thread at the least, and one when there is one thread.
size_t chunkCount(size_t count, size_t minChunk, unsigned workers);

/// The type-erased body of `forEachChunk`.
using ChunkFunction = void (*)(void* body, size_t begin, size_t end);

/// `forEachChunk` without the template.
void runChunks(size_t count, size_t threads, size_t chunks, ChunkFunction function, void* body);

/// Calls `body(begin, end)` once for each of `chunkCount(count, minChunk, workers)` consecutive
/// chunks of nearly equal length that cover [0, `count`), and returns when all are done. The
/// calling thread and `threadCount(count, minChunk, workers)` - 1 threads of their own, started
/// with every signal blocked (parallel/worker.h), take the chunks in turn; when a thread cannot
/// be had, the others take its share. `body` must not throw. One thread starts no thread at all.
template <typename Body>
void forEachChunk(size_t count, size_t minChunk, unsigned workers, Body&& body) {
  using BodyType = std::remove_reference_t<Body>;
  runChunks(
      count, threadCount(count, minChunk, workers), chunkCount(count, minChunk, workers),
      [](void* erased, size_t begin, size_t end) { (*static_cast<BodyType*>(erased))(begin, end); },
      &body);
}

}  // namespace parallel

#endif  // PARALLEL_FOR_EACH_CHUNK_H_
