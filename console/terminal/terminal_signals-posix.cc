#include "console/terminal/terminal_signals-posix.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <iterator>

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

// True when the process group is the terminal's foreground group, or job control does not apply
// to it there (the terminal is not its controlling terminal).
bool inForeground(int fd) {
  const pid_t group = ::tcgetpgrp(fd);
  return group < 0 ? errno == ENOTTY : group == ::getpgrp();
}

bool sameSettings(const termios& one, const termios& other) {
  return one.c_iflag == other.c_iflag && one.c_oflag == other.c_oflag &&
         one.c_cflag == other.c_cflag && one.c_lflag == other.c_lflag &&
         std::equal(std::begin(one.c_cc), std::end(one.c_cc), std::begin(other.c_cc));
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
  modes->ownApplied = false;
  // A shell that has taken the terminal already (it saw a script that runs the program stop)
  // has put settings of its own, for its own prompt: those stay. Only the program's are undone.
  termios now{};
  if (!inForeground(fd) && (::tcgetattr(fd, &now) != 0 || !sameSettings(now, modes->own))) return;
  withoutStopOnOutput([&] { ::tcsetattr(fd, TCSANOW, &modes->saved); });
}

bool takeTerminalBack(int fd, TerminalModes* modes) {
  modes->ownApplied = false;
  withoutStopOnOutput([&] {
    if (inForeground(fd)) modes->ownApplied = ::tcsetattr(fd, TCSANOW, &modes->own) == 0;
  });
  return modes->ownApplied;
}

int waitForByte(int fd, TerminalModes* modes, const SavedSignals& signals) {
  for (;;) {
    const int signo = takeCaughtSignal();
    if (signo == SIGTSTP) {
      suspend(fd, modes);
      continue;
    }
    // Without the terminal nothing is drawn; taking it back draws anew.
    if (signo != 0 && (signo != SIGWINCH || modes->ownApplied)) return signo;
    if (continued != 0 || !modes->ownApplied) {
      continued = 0;
      if (takeTerminalBack(fd, modes)) return SIGCONT;
      if (inForeground(fd)) return -1;  // its settings cannot be set: it cannot be driven
      // In the background: ask for the terminal as a read does, taking no byte. The process
      // group stops (SIGTTIN) until continued, as the shell expects of a job that reads; where
      // it cannot stop (an orphaned group, SIGTTIN ignored), the read fails as a real one would.
      char none;
      if (::read(fd, &none, 0) < 0 && errno != EINTR) return -1;
      continue;
    }
    pollfd input{fd, POLLIN, 0};
    const int ready = ::ppoll(&input, 1, nullptr, &signals.mask);
    if (ready < 0 && errno != EINTR) return -1;
    if (ready > 0) return 0;  // a byte, or the end of input or an error the read reports
  }
}

}  // namespace console
