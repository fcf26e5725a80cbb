// The terminal and system services on POSIX: the clear sequence, the key wait in raw mode,
// the clock, the size of memory and the end of the process.
#include "console/console.h"

#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <ctime>
#include <iostream>
#include <string_view>

namespace console {
namespace {

void writeAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return;  // Nothing sensible to do when the terminal is gone.
    }
    bytes.remove_prefix(static_cast<size_t>(written));
  }
}

// The signals that would otherwise end the process with the terminal left without echo.
constexpr int kWaitSignals[] = {SIGHUP, SIGINT, SIGQUIT, SIGTERM};
constexpr size_t kWaitSignalCount = sizeof(kWaitSignals) / sizeof(kWaitSignals[0]);

volatile std::sig_atomic_t caughtSignal = 0;

// Only records the signal: the terminal is restored by the waiting code, which then raises
// the signal again.
void recordSignal(int signo) { caughtSignal = signo; }

struct SavedSignals {
  sigset_t mask;
  struct sigaction actions[kWaitSignalCount];
};

// Blocks the wait signals and routes those not ignored to `recordSignal`. They get through only
// inside ppoll, so a signal cannot slip in between a check and a blocking read.
void catchWaitSignals(SavedSignals* saved) {
  sigset_t blocked;
  sigemptyset(&blocked);
  for (int signo : kWaitSignals) sigaddset(&blocked, signo);
  sigprocmask(SIG_BLOCK, &blocked, &saved->mask);
  caughtSignal = 0;
  struct sigaction record {};
  record.sa_handler = recordSignal;
  record.sa_mask = blocked;
  for (size_t i = 0; i < kWaitSignalCount; ++i) {
    sigaction(kWaitSignals[i], nullptr, &saved->actions[i]);
    // An ignored signal (nohup) stays ignored.
    if (saved->actions[i].sa_handler != SIG_IGN) sigaction(kWaitSignals[i], &record, nullptr);
  }
}

// Puts the old dispositions back; a signal caught meanwhile is raised again and, once the old
// mask is back, takes its usual effect (for these signals: the process ends).
void restoreWaitSignals(const SavedSignals& saved) {
  for (size_t i = 0; i < kWaitSignalCount; ++i) {
    sigaction(kWaitSignals[i], &saved.actions[i], nullptr);
  }
  if (caughtSignal != 0) std::raise(caughtSignal);
  sigprocmask(SIG_SETMASK, &saved.mask, nullptr);
}

// Waits until a key arrives on `fd` or a wait signal is caught, then reads the key. The bytes
// of one key (an escape sequence) arrive together and are read together.
void readKey(int fd, const sigset_t& openMask) {
  pollfd input{fd, POLLIN, 0};
  while (caughtSignal == 0) {
    if (::ppoll(&input, 1, nullptr, &openMask) < 0) {
      if (errno == EINTR) continue;
      return;
    }
    char key[16];
    if (::read(fd, key, sizeof key) < 0 && errno == EINTR) continue;
    return;  // a key, end of input or an error all end the wait
  }
}

// Reads one key in non-canonical mode without echo and signal keys; false when `fd` is no
// terminal whose settings can be changed (nothing was read).
bool waitForTerminalKey(int fd) {
  termios saved{};
  if (::tcgetattr(fd, &saved) != 0) return false;
  termios raw = saved;
  raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO | ISIG | IEXTEN);
  raw.c_iflag &= ~static_cast<tcflag_t>(IXON);  // Ctrl-S is a key too
  raw.c_cc[VMIN] = 1;
  raw.c_cc[VTIME] = 0;

  SavedSignals signals{};
  catchWaitSignals(&signals);
  bool changed = ::tcsetattr(fd, TCSANOW, &raw) == 0;
  if (changed) {
    readKey(fd, signals.mask);
    // TCSANOW: TCSAFLUSH would throw away what was typed after the key.
    ::tcsetattr(fd, TCSANOW, &saved);
  }
  restoreWaitSignals(signals);
  return changed;
}

}  // namespace

void clearScreen() {
  std::cout.flush();
  if (::isatty(STDOUT_FILENO)) writeAll(STDOUT_FILENO, "\x1b[H\x1b[2J\x1b[3J");
}

void waitForKey() {
  std::cout.flush();
  if (::isatty(STDIN_FILENO) && waitForTerminalKey(STDIN_FILENO)) return;
  waitForCharacter(std::cin);
}

int64_t currentTime() { return static_cast<int64_t>(std::time(nullptr)); }

void exitProgram(int status) {
  std::cout.flush();
  std::cerr.flush();
  std::exit(status);
}

uint64_t physicalMemory() {
  const long pages = ::sysconf(_SC_PHYS_PAGES);
  const long pageSize = ::sysconf(_SC_PAGE_SIZE);
  uint64_t bytes = 0;
  if (pages <= 0 || pageSize <= 0 ||
      __builtin_mul_overflow(static_cast<uint64_t>(pages), static_cast<uint64_t>(pageSize),
                             &bytes)) {
    return UINT64_MAX;
  }
  return bytes;
}

}  // namespace console
