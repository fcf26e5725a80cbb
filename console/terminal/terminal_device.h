// The terminal device, which clearing, the key wait and the line editor drive: one
// implementation per platform, terminal_device-posix.cc on a real system,
// terminal_device-fuzz.cc on the fuzzing build's machine, which has none.
#ifndef CONSOLE_TERMINAL_TERMINAL_DEVICE_H_
#define CONSOLE_TERMINAL_TERMINAL_DEVICE_H_

#include <string>
#include <string_view>

namespace console {

/// True when standard output is a terminal.
bool outputIsTerminal();

/// Writes all of `bytes` to standard output's descriptor directly, past the stream's buffer,
/// going on after an interrupted write; false when a write fails.
bool writeToTerminal(std::string_view bytes);

/// True when a byte can be read from standard input without waiting.
bool byteArrived();

/// True when TERM names a terminal whose description has cursor addressing, which line editing
/// needs; false when TERM is unset or `dumb`, or names a terminal without a description.
bool terminalMovesCursor();

/// The bytes that clear the screen of the terminal TERM names and put the cursor home, followed,
/// with `andScrollback`, by those that erase its scrollback: from the terminal's description, as
/// far as it has them (nothing for `dumb`); the ANSI sequences ESC [H ESC [2J and ESC [3J when
/// TERM is unset or has no description.
std::string clearSequence(bool andScrollback);

/// `capability`, a string from a terminal description, without the delays it asks for
/// (`$<5>`, `$<2*/>`), which only terminals on slow lines needed.
std::string withoutDelays(std::string_view capability);

/// Takes an end of input typed ahead at standard input's terminal in its line mode: Ctrl-D at
/// the start of a line, typed before the program read, waits there as a mark that becomes an
/// ordinary byte once the terminal leaves line mode. True when such a mark was next and has been
/// taken; false, having read nothing, otherwise.
bool takeEndTypedAhead();

/// When standard input is a terminal whose settings can be changed, reads one key in raw mode as
/// `waitForKey` describes, sets `*readOk` to false when the read failed, and returns true.
/// Returns false, having read nothing, when it is not such a terminal.
bool readTerminalKey(bool* readOk);

}  // namespace console

#endif  // CONSOLE_TERMINAL_TERMINAL_DEVICE_H_
