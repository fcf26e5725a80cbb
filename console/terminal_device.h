// The terminal device under `terminal.h`, one implementation per platform: terminal_device-posix.cc
// on a real system, terminal_device-fuzz.cc on the fuzzing build's machine, which has none.
#ifndef CONSOLE_TERMINAL_DEVICE_H_
#define CONSOLE_TERMINAL_DEVICE_H_

#include <string_view>

namespace console {

/// True when standard output is a terminal.
bool outputIsTerminal();

/// Writes `bytes` to standard output's descriptor directly, past the stream's buffer.
void writeToTerminal(std::string_view bytes);

/// When standard input is a terminal whose settings can be changed, reads one key in raw mode as
/// `waitForKey` describes, sets `*readOk` to false when the read failed, and returns true.
/// Returns false, having read nothing, when it is not such a terminal.
bool readTerminalKey(bool* readOk);

}  // namespace console

#endif  // CONSOLE_TERMINAL_DEVICE_H_
