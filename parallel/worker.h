// Threads of the parallel helpers: each starts with every signal blocked, so that a signal
// meant for the process (Ctrl-C, Ctrl-Z, a broken pipe on the main thread's write) reaches the
// main thread and takes its effect there as it would without them.
#ifndef PARALLEL_WORKER_H_
#define PARALLEL_WORKER_H_

#include <thread>

namespace parallel {

/// Starts `run(context)` on a new thread, stored in `thread`, with every signal blocked in it;
/// the calling thread's signal mask is the same afterwards. False, with nothing started, when
/// the system cannot give a thread (too many threads, no memory for its stack).
bool startWorker(std::thread* thread, void (*run)(void* context), void* context);

}  // namespace parallel

#endif  // PARALLEL_WORKER_H_
