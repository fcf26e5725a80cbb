#include "parallel/pages.h"

#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include <array>
#include <climits>
#include <cstdint>
#include <cstdlib>

#include "parallel/for_each_chunk.h"

namespace parallel {
namespace {

uintptr_t pageSize() {
  static const auto size = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
  return size;
}

// The heap is grown in pieces small enough for every C library to keep in the heap rather than
// map on their own: one below the mapping threshold set here, which no library refuses.
constexpr size_t kHeapPiece = size_t{8} << 20;
constexpr int kPieceMmapThreshold = 16 << 20;
constexpr size_t kMostHeapPieces = 128;

// Blocks smaller than this gain nothing from threads.
constexpr size_t kLeastHeapBlock = size_t{16} << 20;

// The C library's defaults, which the heap goes back to once the pieces have been given back.
constexpr int kDefaultMmapThreshold = 128 * 1024;
constexpr int kDefaultTrimThreshold = 128 * 1024;

}  // namespace

void takePages(void* begin, size_t bytes) {
  if (bytes == 0) return;
  const uintptr_t page = pageSize();
  const auto first = reinterpret_cast<uintptr_t>(begin);
  const uintptr_t end = first + bytes;
  const uintptr_t wholeBegin = (first + page - 1) & ~(page - 1);
  const uintptr_t wholeEnd = end & ~(page - 1);
  if (wholeBegin < wholeEnd) {
    // Fails on kernels before 5.14: the writes below then take the pages one by one.
    madvise(reinterpret_cast<void*>(wholeBegin), wholeEnd - wholeBegin, MADV_POPULATE_WRITE);
  }
  // A virtual machine may map a page for the process only at the process's own first write,
  // so each page is written once here too, by this thread.
  for (uintptr_t at = first; at < end; at = (at & ~(page - 1)) + page) {
    volatile unsigned char* byte = reinterpret_cast<unsigned char*>(at);
    *byte = *byte;
  }
}

void prepareHeap(size_t bytes, unsigned workers) {
  // Whole pieces only: never more than the allocations that follow will take.
  const size_t pieceCount = bytes / kHeapPiece;
  if (workers <= 1 || bytes < kLeastHeapBlock || pieceCount > kMostHeapPieces) return;
  // Below the mapping threshold the pieces come from the heap, one after the other; above the
  // trimming threshold's reach the heap keeps them once they are freed.
  std::array<void*, kMostHeapPieces> pieces{};
  if (mallopt(M_MMAP_THRESHOLD, kPieceMmapThreshold) == 1 &&
      mallopt(M_TRIM_THRESHOLD, INT_MAX) == 1) {
    // Each thread allocates its own pieces: what the C library allocates for a thread as it
    // starts then lies below them, and once freed they join the free top of the heap, which can
    // be given back to the system when the memory is freed again.
    forEachChunk(pieceCount, 1, workers, [&pieces](size_t begin, size_t end) {
      for (size_t i = begin; i < end; ++i) {
        pieces[i] = std::malloc(kHeapPiece);
        if (pieces[i] != nullptr) takePages(pieces[i], kHeapPiece);
      }
    });
    for (void* piece : pieces) std::free(piece);
  }
  mallopt(M_MMAP_THRESHOLD, kDefaultMmapThreshold);
  mallopt(M_TRIM_THRESHOLD, kDefaultTrimThreshold);
}

}  // namespace parallel
