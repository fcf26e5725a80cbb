// The platform services the three programs share: stream setup, reading words and lines with
// a clear end-of-input result, dropping input the user typed ahead, and clearing the terminal.
// This is the only code that touches file descriptors and terminal state.
#ifndef CONSOLE_CONSOLE_H_
#define CONSOLE_CONSOLE_H_

#include <cstdint>
#include <istream>
#include <string>

namespace console {

/// Gives the standard streams buffers of their own, detached from C stdio, so that input that
/// has arrived can be measured and dropped without waiting. Call first in `main`, before any I/O.
void init();

/// Reads one blank-delimited word into `word`, skipping blanks and line ends before it; the
/// blank after it stays unread. Returns false at end of input (nothing was read).
bool readWord(std::istream& in, std::string& word);

/// Reads one whole line into `line`; its line end is consumed and not stored. Returns false at
/// end of input (not even an unterminated last line was left).
bool readLine(std::istream& in, std::string& line);

/// Drops what is left of the line on which `readWord` last read a word (blanks, further words,
/// its line end), as far as it has arrived. Never waits for input. Drops nothing after
/// `readLine` or before the first read, so a line not yet started is never lost.
void discardPendingInput(std::istream& in);

/// Drops input up to and including the next line end, but only what has already arrived:
/// stops without waiting when nothing more is available.
void discardRestOfLine(std::istream& in);

/// Clears the terminal and puts the cursor home when standard output is a terminal; writes
/// nothing when it is a pipe or a file. Flushes `std::cout` first.
void clearScreen();

/// The common way out when standard input has ended at a prompt: writes one line end on standard
/// output and "Konec vvoda" on standard error, then exits with status 2. The caller releases
/// what it owns first.
[[noreturn]] void exitAtEndOfInput();

/// Waits for one key and ignores it; flushes `std::cout` first. On a terminal the key is read
/// without echo and without waiting for Enter, Ctrl-C and the other control keys count as keys,
/// and the terminal's settings are restored afterwards; when SIGTERM, SIGHUP, SIGINT or SIGQUIT
/// arrives during the wait, the settings are restored and the signal then takes its usual
/// effect. Otherwise behaves as `waitForCharacter(std::cin)`. Returns at end of input too.
void waitForKey();

/// Drops the rest of the current line of `in` as far as it has arrived, then reads one
/// character and ignores it. Returns at end of input, also when `in` throws on failure; `in`'s
/// state is left as it was.
void waitForCharacter(std::istream& in);

/// The current calendar time in whole seconds since 1970-01-01 UTC.
int64_t currentTime();

}  // namespace console

#endif  // CONSOLE_CONSOLE_H_
