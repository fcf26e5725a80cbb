// The terminal on POSIX: writing past the stream, what TERM's description offers, and one key
// read in raw mode with the terminal's settings given back whatever signal arrives.
#include <poll.h>
#include <sys/ioctl.h>
#include <termcap.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>
#include <string_view>

#include "console/terminal/line_text.h"
#include "console/terminal/terminal_device.h"
#include "console/terminal/terminal_signals-posix.h"

namespace console {
namespace {

// Reads the key's first byte and whichever of its further bytes have already arrived. False
// when a read fails.
bool readKeyBytes(int fd) {
  KeyReader key;
  unsigned char byte = 0;
  do {
    ssize_t got;
    do {
      got = ::read(fd, &byte, 1);
    } while (got < 0 && errno == EINTR);
    if (got < 0) return false;
    if (got == 0) return true;  // end of input ends the wait too
  } while (!readKeyByte(&key, byte) && byteArrived());
  return true;
}

// Waits until a key arrives on `fd` or a signal that ends the process is caught (stored in
// `*endingSignal`), then reads the key. False when the terminal cannot be read.
bool readKey(int fd, TerminalModes* modes, const SavedSignals& signals, int* endingSignal) {
  for (;;) {
    const int waited = waitForByte(fd, modes, signals);
    if (waited < 0) return false;
    if (waited == 0) return readKeyBytes(fd);
    if (waited != SIGCONT) {
      *endingSignal = waited;
      return true;
    }
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
  modes.ownApplied = ::tcsetattr(fd, TCSANOW, &modes.own) == 0;
  const bool changed = modes.ownApplied;
  if (changed) {
    *readOk = readKey(fd, &modes, signals, &endingSignal);
    // TCSANOW: TCSAFLUSH would throw away what was typed after the key.
    giveTerminalBack(fd, &modes);
  }
  restoreSignals(signals, endingSignal);
  return changed;
}

// The description of the terminal TERM names, read into the terminal library; false when TERM is
// unset or names none.
bool readTerminalDescription() {
  const char* term = std::getenv("TERM");
  if (term == nullptr || *term == '\0') return false;
  char description[4096];  // unused by the terminal library of today, but its interface asks
  return ::tgetent(description, term) == 1;
}

// The string capability `name` of the description read, without delays; empty when it has none.
std::string capability(const char* name) {
  char area[1024];
  char* end = area;
  const char* value = ::tgetstr(name, &end);
  return value == nullptr ? std::string() : withoutDelays(value);
}

}  // namespace

bool outputIsTerminal() { return ::isatty(STDOUT_FILENO) != 0; }

bool writeToTerminal(std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(STDOUT_FILENO, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<size_t>(written));
  }
  return true;
}

bool byteArrived() {
  pollfd input{STDIN_FILENO, POLLIN, 0};
  return ::poll(&input, 1, 0) > 0 && (input.revents & POLLIN) != 0;
}

bool terminalMovesCursor() { return readTerminalDescription() && !capability("cm").empty(); }

std::string clearSequence(bool andScrollback) {
  if (!readTerminalDescription()) return andScrollback ? "\x1b[H\x1b[2J\x1b[3J" : "\x1b[H\x1b[2J";
  const std::string clear = capability("cl");
  if (clear.empty() || !andScrollback) return clear;
  return clear + capability("E3");
}

std::string withoutDelays(std::string_view capability) {
  std::string bytes;
  while (!capability.empty()) {
    const size_t delay = capability.find("$<");
    const size_t delayEnd = capability.find('>', delay);
    if (delay == std::string_view::npos || delayEnd == std::string_view::npos) break;
    const std::string_view inside = capability.substr(delay + 2, delayEnd - delay - 2);
    const bool isDelay =
        !inside.empty() && inside.find_first_not_of("0123456789.*/") == std::string_view::npos;
    bytes += capability.substr(0, isDelay ? delay : delayEnd + 1);
    capability.remove_prefix(delayEnd + 1);
  }
  return bytes.append(capability);
}

bool takeEndTypedAhead() {
  // The mark makes the terminal readable while it counts no byte waiting; a read then reports
  // the end of input and takes the mark.
  termios modes{};
  int waiting = 0;
  if (::tcgetattr(STDIN_FILENO, &modes) != 0 || (modes.c_lflag & ICANON) == 0 || !byteArrived() ||
      ::ioctl(STDIN_FILENO, FIONREAD, &waiting) != 0 || waiting != 0) {
    return false;
  }
  char byte;
  return ::read(STDIN_FILENO, &byte, 1) == 0;
}

bool readTerminalKey(bool* readOk) {
  return ::isatty(STDIN_FILENO) && waitForTerminalKey(STDIN_FILENO, readOk);
}

}  // namespace console
