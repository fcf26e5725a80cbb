#include "parallel/worker.h"

#include <pthread.h>

#include <csignal>
#include <exception>

namespace parallel {

bool startWorker(std::thread* thread, void (*run)(void* context), void* context) {
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
