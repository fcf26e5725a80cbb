#include "console/terminal_signals-posix.h"

#include <unistd.h>

namespace console {
namespace {

volatile std::sig_atomic_t caughtSignal = 0;

// Only records the signal: the terminal is restored by the waiting code, which then raises
// the signal again.
void recordSignal(int signo) { caughtSignal = signo; }

}  // namespace

void catchSignals(std::span<const int> signals, SavedSignals* saved) {
  saved->signals = signals;
  sigset_t blocked;
  sigemptyset(&blocked);
  for (int signo : signals) sigaddset(&blocked, signo);
  sigprocmask(SIG_BLOCK, &blocked, &saved->mask);
  caughtSignal = 0;
  struct sigaction record = {};
  record.sa_handler = recordSignal;
  record.sa_mask = blocked;
  for (size_t i = 0; i < signals.size(); ++i) {
    sigaction(signals[i], nullptr, &saved->actions.at(i));
    // An ignored signal (nohup) stays ignored.
    if (saved->actions.at(i).sa_handler != SIG_IGN) sigaction(signals[i], &record, nullptr);
  }
}

int takeCaughtSignal() {
  const int signo = caughtSignal;
  caughtSignal = 0;
  return signo;
}

void restoreSignals(const SavedSignals& saved, int signo) {
  for (size_t i = 0; i < saved.signals.size(); ++i) {
    sigaction(saved.signals[i], &saved.actions.at(i), nullptr);
  }
  if (signo != 0) std::raise(signo);
  sigprocmask(SIG_SETMASK, &saved.mask, nullptr);
}

void suspend(int fd, const TerminalModes& modes) {
  ::tcsetattr(fd, TCSANOW, &modes.saved);
  struct sigaction stop = {};
  stop.sa_handler = SIG_DFL;
  struct sigaction recording = {};
  sigaction(SIGTSTP, &stop, &recording);
  sigset_t only;
  sigemptyset(&only);
  sigaddset(&only, SIGTSTP);
  std::raise(SIGTSTP);  // pending while blocked; taken, and the process stopped, on unblocking
  sigprocmask(SIG_UNBLOCK, &only, nullptr);
  sigprocmask(SIG_BLOCK, &only, nullptr);
  sigaction(SIGTSTP, &recording, nullptr);
  ::tcsetattr(fd, TCSANOW, &modes.own);
}

}  // namespace console
