#include "console/terminal_signals-posix.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>

namespace console {
namespace {

volatile std::sig_atomic_t caughtSignal = 0;
// Set by every continue; cleared by a Ctrl-Z, so that when set at a stop it says that the
// shell continued the process after the Ctrl-Z, before the process had stopped itself.
volatile std::sig_atomic_t continued = 0;

// Only records the signal: the terminal is restored by the waiting code, which then raises
// the signal again. A resize is worth less than anything recorded before it.
void recordSignal(int signo) {
  if (signo == SIGTSTP) continued = 0;
  if (signo != SIGWINCH || caughtSignal == 0) caughtSignal = signo;
}

void recordContinue(int /*signo*/) { continued = 1; }

// Runs `change` with SIGTTOU blocked: a change of the terminal's settings from the background
// then takes effect instead of stopping the process.
template <typename Change>
void withoutStopOnOutput(Change change) {
  sigset_t ttou;
  sigemptyset(&ttou);
  sigaddset(&ttou, SIGTTOU);
  sigset_t before;
  sigprocmask(SIG_BLOCK, &ttou, &before);
  change();
  sigprocmask(SIG_SETMASK, &before, nullptr);
}

// Stops the process as SIGTSTP would, with the terminal given back. A continue that came after
// the Ctrl-Z, before this stop, would not come again: then the process does not stop. The stop
// is raised while blocked, so that a continue arriving from here on discards it.
void suspend(int fd, TerminalModes* modes) {
  giveTerminalBack(fd, modes);
  struct sigaction stop = {};
  stop.sa_handler = SIG_DFL;
  struct sigaction recording = {};
  sigaction(SIGTSTP, &stop, &recording);
  sigset_t only;
  sigemptyset(&only);
  sigaddset(&only, SIGTSTP);
  std::raise(SIGTSTP);
  if (continued != 0) {
    // Discard the pending stop: a pending signal whose action is to ignore it goes.
    struct sigaction ignore = {};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGTSTP, &ignore, nullptr);
  } else {
    sigprocmask(SIG_UNBLOCK, &only, nullptr);  // the process stops here until continued
    sigprocmask(SIG_BLOCK, &only, nullptr);
  }
  sigaction(SIGTSTP, &recording, nullptr);
}

}  // namespace

void catchSignals(std::span<const int> signals, SavedSignals* saved) {
  saved->signals = signals;
  sigset_t blocked;
  sigemptyset(&blocked);
  for (int signo : signals) sigaddset(&blocked, signo);
  sigprocmask(SIG_BLOCK, &blocked, &saved->mask);
  caughtSignal = 0;
  continued = 0;
  struct sigaction record = {};
  record.sa_handler = recordSignal;
  record.sa_mask = blocked;
  for (size_t i = 0; i < signals.size(); ++i) {
    sigaction(signals[i], nullptr, &saved->actions.at(i));
    // An ignored signal (nohup) stays ignored.
    if (saved->actions.at(i).sa_handler != SIG_IGN) sigaction(signals[i], &record, nullptr);
  }
  // Never blocked, so that a stop can tell whether a continue came first; calls interrupted by
  // it go on as they would without a handler, and only the wait sees it.
  struct sigaction onContinue = {};
  onContinue.sa_handler = recordContinue;
  onContinue.sa_flags = SA_RESTART;
  sigaction(SIGCONT, &onContinue, &saved->continueAction);
}

int takeCaughtSignal() {
  const int signo = caughtSignal;
  caughtSignal = 0;
  return signo;
}

void restoreSignals(const SavedSignals& saved, int signo) {
  sigaction(SIGCONT, &saved.continueAction, nullptr);
  for (size_t i = 0; i < saved.signals.size(); ++i) {
    sigaction(saved.signals[i], &saved.actions.at(i), nullptr);
  }
  if (signo != 0) std::raise(signo);
  sigprocmask(SIG_SETMASK, &saved.mask, nullptr);
}

void giveTerminalBack(int fd, TerminalModes* modes) {
  if (!modes->ownApplied) return;
  withoutStopOnOutput([&] { ::tcsetattr(fd, TCSANOW, &modes->saved); });
  modes->ownApplied = false;
}

bool takeTerminalBack(int fd, TerminalModes* modes) {
  modes->ownApplied = false;
  withoutStopOnOutput([&] {
    if (::tcgetpgrp(fd) == ::getpgrp()) {
      modes->ownApplied = ::tcsetattr(fd, TCSANOW, &modes->own) == 0;
    }
  });
  return modes->ownApplied;
}

int waitForByte(int fd, TerminalModes* modes, const SavedSignals& signals) {
  for (;;) {
    if (continued != 0) {
      continued = 0;
      if (takeTerminalBack(fd, modes)) return SIGCONT;
    }
    const int signo = takeCaughtSignal();
    if (signo == SIGTSTP) {
      suspend(fd, modes);
      continue;
    }
    // In the background nothing is drawn; taking the terminal back draws anew.
    if (signo != 0 && (signo != SIGWINCH || modes->ownApplied)) return signo;
    // In the background a read would stop the process for input that is not its own, or find
    // the terminal in its owner's settings: only signals are awaited there.
    pollfd input{fd, POLLIN, 0};
    const int ready = ::ppoll(&input, modes->ownApplied ? 1 : 0, nullptr, &signals.mask);
    if (ready < 0 && errno != EINTR) return -1;
    if (ready > 0) return 0;  // a byte, or the end of input or an error the read reports
  }
}

}  // namespace console
