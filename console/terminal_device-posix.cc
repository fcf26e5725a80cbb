// The terminal on POSIX: writing past the stream, and one key read in raw mode with the
// terminal's settings given back whatever signal arrives.
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <csignal>
#include <string_view>

#include "console/key.h"
#include "console/terminal_device.h"

namespace console {
namespace {

// The signals that would otherwise end or stop the process with the terminal left without echo.
// std::array, so that debug builds check every index into them.
constexpr std::array kWaitSignals = {SIGHUP, SIGINT, SIGQUIT, SIGTERM, SIGTSTP};

volatile std::sig_atomic_t caughtSignal = 0;

// Only records the signal: the terminal is restored by the waiting code, which then raises
// the signal again.
void recordSignal(int signo) { caughtSignal = signo; }

struct SavedSignals {
  sigset_t mask;
  std::array<struct sigaction, kWaitSignals.size()> actions;
};

// Blocks the wait signals and routes those not ignored to `recordSignal`. They get through only
// inside ppoll, so a signal cannot slip in between a check and a blocking read.
void catchWaitSignals(SavedSignals* saved) {
  sigset_t blocked;
  sigemptyset(&blocked);
  for (int signo : kWaitSignals) sigaddset(&blocked, signo);
  sigprocmask(SIG_BLOCK, &blocked, &saved->mask);
  caughtSignal = 0;
  struct sigaction record = {};
  record.sa_handler = recordSignal;
  record.sa_mask = blocked;
  for (size_t i = 0; i < kWaitSignals.size(); ++i) {
    sigaction(kWaitSignals[i], nullptr, &saved->actions[i]);
    // An ignored signal (nohup) stays ignored.
    if (saved->actions[i].sa_handler != SIG_IGN) sigaction(kWaitSignals[i], &record, nullptr);
  }
}

// Puts the old dispositions back; a signal caught meanwhile is raised again and, once the old
// mask is back, takes its usual effect (the process ends, or stops for SIGTSTP).
void restoreWaitSignals(const SavedSignals& saved) {
  for (size_t i = 0; i < kWaitSignals.size(); ++i) {
    sigaction(kWaitSignals[i], &saved.actions[i], nullptr);
  }
  if (caughtSignal != 0) std::raise(caughtSignal);
  sigprocmask(SIG_SETMASK, &saved.mask, nullptr);
}

// The terminal settings of the wait, and those to give back.
struct TerminalModes {
  termios saved;
  termios raw;
};

// Stops the process as SIGTSTP would, with the terminal as the shell expects it, and takes up
// the wait's settings again once the process is continued.
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
  ::tcsetattr(fd, TCSANOW, &modes.raw);
}

// True when a byte can be read from `fd` without waiting.
bool byteArrived(int fd) {
  pollfd input{fd, POLLIN, 0};
  return ::poll(&input, 1, 0) > 0 && (input.revents & POLLIN) != 0;
}

// Reads the key's first byte and whichever of its further bytes have already arrived. False
// when a read fails.
bool readKeyBytes(int fd) {
  char key[kMaxKeyBytes];
  size_t length = 0;
  do {
    ssize_t got;
    do {
      got = ::read(fd, key + length, 1);
    } while (got < 0 && errno == EINTR);
    if (got < 0) return false;
    if (got == 0) return true;  // end of input ends the wait too
    ++length;
  } while (keyContinues({key, length}) && byteArrived(fd));
  return true;
}

// Waits until a key arrives on `fd` or a wait signal is caught, then reads the key. False when
// the terminal cannot be read.
bool readKey(int fd, const TerminalModes& modes, const sigset_t& openMask) {
  pollfd input{fd, POLLIN, 0};
  for (;;) {
    if (caughtSignal == SIGTSTP) {
      caughtSignal = 0;
      suspend(fd, modes);
      continue;
    }
    if (caughtSignal != 0) return true;
    if (::ppoll(&input, 1, nullptr, &openMask) < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    return readKeyBytes(fd);
  }
}

// Reads one key in non-canonical mode without echo and signal keys. Sets `*readOk` to false
// when the read failed. Returns false when `fd` is no terminal whose settings can be changed
// (nothing was read).
bool waitForTerminalKey(int fd, bool* readOk) {
  TerminalModes modes{};
  if (::tcgetattr(fd, &modes.saved) != 0) return false;
  modes.raw = modes.saved;
  modes.raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO | ISIG | IEXTEN);
  modes.raw.c_iflag &= ~static_cast<tcflag_t>(IXON);  // Ctrl-S is a key too
  modes.raw.c_cc[VMIN] = 1;
  modes.raw.c_cc[VTIME] = 0;

  SavedSignals signals{};
  catchWaitSignals(&signals);
  bool changed = ::tcsetattr(fd, TCSANOW, &modes.raw) == 0;
  if (changed) {
    *readOk = readKey(fd, modes, signals.mask);
    // TCSANOW: TCSAFLUSH would throw away what was typed after the key.
    ::tcsetattr(fd, TCSANOW, &modes.saved);
  }
  restoreWaitSignals(signals);
  return changed;
}

}  // namespace

bool outputIsTerminal() { return ::isatty(STDOUT_FILENO) != 0; }

void writeToTerminal(std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t written = ::write(STDOUT_FILENO, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return;  // Nothing sensible to do when the terminal is gone.
    }
    bytes.remove_prefix(static_cast<size_t>(written));
  }
}

bool readTerminalKey(bool* readOk) {
  return ::isatty(STDIN_FILENO) && waitForTerminalKey(STDIN_FILENO, readOk);
}

}  // namespace console
