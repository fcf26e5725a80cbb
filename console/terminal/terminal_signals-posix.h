// Signals while the terminal is in a mode of the program's own (the key wait's raw mode, the
// line editor's): they are blocked and recorded, and let through only where the waiting code
// waits, so that the code can give the terminal its settings back before a signal takes effect.
// Job control is followed as a shell expects it: Ctrl-Z gives the terminal back at once and
// stops the process, and a continue takes the terminal again only in the foreground.
#ifndef CONSOLE_TERMINAL_TERMINAL_SIGNALS_POSIX_H_
#define CONSOLE_TERMINAL_TERMINAL_SIGNALS_POSIX_H_

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
  struct sigaction continueAction;
};

/// Blocks `signals` and routes those not ignored to a handler that only records them; a
/// continue (SIGCONT) is recorded too, never blocked.
void catchSignals(std::span<const int> signals, SavedSignals* saved);

/// The signal recorded since the last call, or 0; forgets it. A window resize never hides a
/// signal recorded before it.
int takeCaughtSignal();

/// Puts the old dispositions back; `signo`, unless 0, is raised again and, once the old mask
/// is back, takes its usual effect (the process ends, or stops for SIGTSTP).
void restoreSignals(const SavedSignals& saved, int signo);

/// The terminal while the program drives it: the settings found, to give back, the program's
/// own, and whether the terminal is known to have the program's own (not after they were given
/// back, nor after a continue in the background, where another process owns the terminal).
struct TerminalModes {
  termios saved;
  termios own;
  bool ownApplied = false;
};

/// Gives the terminal the settings found, unless they were given back already. In the
/// background (the shell has taken the terminal) only while the terminal still has the
/// program's settings, with SIGTTOU blocked so that the process is not stopped for it: settings
/// the shell has put for its prompt stay.
void giveTerminalBack(int fd, TerminalModes* modes);

/// Puts the program's own settings on the terminal when its process group is in the foreground
/// (or the terminal is not the process's controlling one, where there is no foreground); true
/// then. In the background the terminal is left as its owner has it.
bool takeTerminalBack(int fd, TerminalModes* modes);

/// Waits until a byte can be read from `fd`, taking the signals caught meanwhile (see
/// `catchSignals`). SIGTSTP gives the terminal back and stops the process, unless a continue
/// has come since; after any continue, the terminal is taken back when the process is in the
/// foreground, and in the background the process group is stopped as for a read there (SIGTTIN)
/// until it is continued. Returns 0 when a byte can be read; SIGCONT when the terminal has been
/// taken back after a stop or a continue, so that what the program shows may need drawing again;
/// another signal caught (a window resize, or one that ends the process: the caller gives the
/// terminal back first); -1 when the wait failed, or the terminal cannot be had (its settings
/// cannot be set, or a read in the background fails).
int waitForByte(int fd, TerminalModes* modes, const SavedSignals& signals);

}  // namespace console

#endif  // CONSOLE_TERMINAL_TERMINAL_SIGNALS_POSIX_H_
