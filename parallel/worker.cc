#include "parallel/worker.h"

#include <malloc.h>
#include <pthread.h>

#include <csignal>
#include <exception>

namespace parallel {

bool startWorker(std::thread* thread, void (*run)(void* context), void* context) {
  // The workers allocate nothing but the thread's own bookkeeping, freed as it ends; without
  // this, that one free makes the C library reserve a heap of 64 MiB of address space for the
  // thread, which stays and later serves the main thread's blocks beyond what an address-space
  // limit would let it map.
  mallopt(M_ARENA_MAX, 1);
  // A new thread takes the mask of the thread that creates it.
  sigset_t all;
  sigset_t saved;
  sigfillset(&all);
  pthread_sigmask(SIG_SETMASK, &all, &saved);
  bool started = true;
  try {
    *thread = std::thread(run, context);
  } catch (const std::exception&) {  // std::system_error, or std::bad_alloc for its state
    started = false;
  }
  pthread_sigmask(SIG_SETMASK, &saved, nullptr);
  return started;
}

}  // namespace parallel
