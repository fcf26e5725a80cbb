// The terminal on POSIX: writing past the stream, and one key read in raw mode with the
// terminal's settings given back whatever signal arrives.
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <string_view>

#include "console/key.h"
#include "console/terminal_device.h"
#include "console/terminal_signals-posix.h"

namespace console {
namespace {

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

// Waits until a key arrives on `fd` or a signal that ends the process is caught (stored in
// `*endingSignal`), then reads the key. False when the terminal cannot be read.
bool readKey(int fd, const TerminalModes& modes, const sigset_t& openMask, int* endingSignal) {
  pollfd input{fd, POLLIN, 0};
  for (;;) {
    const int signo = takeCaughtSignal();
    if (signo == SIGTSTP) {
      suspend(fd, modes);
      continue;
    }
    if (signo != 0) {
      *endingSignal = signo;
      return true;
    }
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
  modes.own = modes.saved;
  modes.own.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO | ISIG | IEXTEN);
  modes.own.c_iflag &= ~static_cast<tcflag_t>(IXON);  // Ctrl-S is a key too
  modes.own.c_cc[VMIN] = 1;
  modes.own.c_cc[VTIME] = 0;

  SavedSignals signals{};
  catchSignals(kEndingSignals, &signals);
  int endingSignal = 0;
  bool changed = ::tcsetattr(fd, TCSANOW, &modes.own) == 0;
  if (changed) {
    *readOk = readKey(fd, modes, signals.mask, &endingSignal);
    // TCSANOW: TCSAFLUSH would throw away what was typed after the key.
    ::tcsetattr(fd, TCSANOW, &modes.saved);
  }
  restoreSignals(signals, endingSignal);
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
