// A loop over [0, count) split into one contiguous chunk per worker thread. Each chunk is
// worked on by one thread from its start to its end, so that a chunk of a fresh block is also
// first touched (and its pages cleared by the kernel) by the thread that fills it.
#ifndef PARALLEL_FOR_EACH_CHUNK_H_
#define PARALLEL_FOR_EACH_CHUNK_H_

#include <cstddef>
#include <type_traits>

namespace parallel {

/// The number of chunks `forEachChunk` makes: `workers` at most (and 64 at most), and fewer when a
/// chunk would be shorter than `minChunk`; at least 1.
size_t chunkCount(size_t count, size_t minChunk, unsigned workers);

/// The type-erased body of `forEachChunk`.
using ChunkFunction = void (*)(void* body, size_t begin, size_t end);

/// `forEachChunk` without the template.
void runChunks(size_t count, size_t chunks, ChunkFunction function, void* body);

/// Calls `body(begin, end)` once for each of `chunkCount(count, minChunk, workers)` consecutive
/// chunks of nearly equal length that cover [0, `count`), and returns when all are done. The
/// first chunk runs on the calling thread, each other on a thread of its own started with
/// every signal blocked (parallel/worker.h); a chunk whose thread cannot be had runs on the
/// calling thread. `body` must not throw. One chunk costs no thread at all.
template <typename Body>
void forEachChunk(size_t count, size_t minChunk, unsigned workers, Body&& body) {
  using BodyType = std::remove_reference_t<Body>;
  runChunks(
      count, chunkCount(count, minChunk, workers),
      [](void* erased, size_t begin, size_t end) { (*static_cast<BodyType*>(erased))(begin, end); },
      &body);
}

}  // namespace parallel

#endif  // PARALLEL_FOR_EACH_CHUNK_H_
