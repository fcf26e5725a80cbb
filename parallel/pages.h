// Pages taken from the system before they are written. A page the kernel gives at its first
// write costs a fault, taken by whichever thread writes there first; taken in one call per
// range, by the thread that will write the range, the pages cost less and are cleared on that
// thread's core.
#ifndef PARALLEL_PAGES_H_
#define PARALLEL_PAGES_H_

#include <cstddef>

namespace parallel {

/// Has the system give every page of [`begin`, `begin` + `bytes`) now: the whole pages inside
/// the range in one call where the kernel can (Linux 5.14 and later), then one write of each
/// page's first byte of the range, which writes back the byte it reads. The contents are
/// unchanged; nothing outside the range is written. Where the system cannot give a page now, it
/// is given at its next write, as without this call. The range must be the caller's to write.
void takePages(void* begin, size_t bytes);

/// Grows the heap by up to `bytes` (in whole pieces of 8 MiB, 1 GiB at most), has up to
/// `workers` threads take its pages (`takePages`, each thread its own pieces) and gives it back
/// to the heap, which keeps it: the allocations that follow, about `bytes` in all, are carved
/// from pages the system has already given, instead of each first write of theirs taking a
/// fault on the calling thread. Does nothing on one worker, for less than 16 MiB, or when the
/// C library will not keep the pieces in its heap; the heap's thresholds are the library's
/// defaults afterwards.
void prepareHeap(size_t bytes, unsigned workers);

}  // namespace parallel

#endif  // PARALLEL_PAGES_H_
