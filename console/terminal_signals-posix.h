// Signals while the terminal is in a mode of the program's own (the key wait's raw mode, the
// line editor's): they are blocked and recorded, and let through only where the waiting code
// waits, so that the code can give the terminal its settings back before a signal takes effect.
#ifndef CONSOLE_TERMINAL_SIGNALS_POSIX_H_
#define CONSOLE_TERMINAL_SIGNALS_POSIX_H_

#include <termios.h>

#include <array>
#include <csignal>
#include <span>

namespace console {

/// The signals that would end or stop the process with the terminal in the program's mode.
inline constexpr std::array kEndingSignals = {SIGHUP, SIGINT, SIGQUIT, SIGTERM, SIGTSTP};

/// The same and a window resize, which the line editor redraws for.
inline constexpr std::array kEditingSignals = {SIGHUP, SIGINT, SIGQUIT, SIGTERM, SIGTSTP, SIGWINCH};

/// What `catchSignals` changed, to be put back.
struct SavedSignals {
  std::span<const int> signals;
  sigset_t mask;  // the mask before: the one to wait with
  std::array<struct sigaction, kEditingSignals.size()> actions;
};

/// Blocks `signals` and routes those not ignored to a handler that only records them.
void catchSignals(std::span<const int> signals, SavedSignals* saved);

/// The signal recorded since the last call, or 0; forgets it.
int takeCaughtSignal();

/// Puts the old dispositions back; `signo`, unless 0, is raised again and, once the old mask
/// is back, takes its usual effect (the process ends, or stops for SIGTSTP).
void restoreSignals(const SavedSignals& saved, int signo);

/// Terminal settings: those found, to give back, and the program's own.
struct TerminalModes {
  termios saved;
  termios own;
};

/// Stops the process as SIGTSTP would, with the terminal as the shell expects it, and takes up
/// the program's settings again once the process is continued.
void suspend(int fd, const TerminalModes& modes);

}  // namespace console

#endif  // CONSOLE_TERMINAL_SIGNALS_POSIX_H_
