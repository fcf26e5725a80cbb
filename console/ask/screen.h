// The terminal: clearing it, and waiting for one key. Escape sequences and raw mode are used
// only when the stream is a terminal; on pipes and files the same calls write or read plain
// bytes.
#ifndef CONSOLE_ASK_SCREEN_H_
#define CONSOLE_ASK_SCREEN_H_

namespace console {

/// Clears the terminal and its scrollback and puts the cursor home when standard output is a
/// terminal, with the bytes of `clearSequence` (none for `dumb`); writes nothing when it is a pipe
/// or a file. Flushes `std::cout` first.
void clearScreen();

/// Waits for one key and ignores it; flushes `std::cout` first. On a terminal the key is read
/// without echo and without waiting for Enter, and only its bytes are taken (see `readKeyByte`);
/// Ctrl-C and the other control keys count as keys. The terminal's settings are restored
/// afterwards, also when SIGTERM, SIGHUP, SIGINT or SIGQUIT arrives during the wait (the signal
/// then takes its usual effect); SIGTSTP stops the program with the settings restored and the
/// wait goes on once it is continued. Otherwise behaves as `waitForCharacter(std::cin)`. Returns
/// at once when standard input has already ended. When standard output is a terminal, writes a
/// line end after the key. Returns true after a key or at end of input; false when standard
/// output failed (nothing is awaited) or the read failed (std::cin is marked bad).
bool waitForKey();

}  // namespace console

#endif  // CONSOLE_ASK_SCREEN_H_
