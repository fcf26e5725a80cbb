// Reading the standard streams: words and lines of any length in bounded memory, one character
// for a key, and dropping what the user typed ahead. Every read flushes the output tied to its
// stream first, and reads nothing when that write fails.
//
// A read that fails marks the stream bad; end of input sets its end-of-file state, which is
// never cleared, so every later read fails at once.
#ifndef CONSOLE_ASK_INPUT_H_
#define CONSOLE_ASK_INPUT_H_

#include <cstddef>
#include <istream>
#include <string>

namespace console {

/// Gives the standard streams buffers of their own, detached from C stdio, so that input that
/// has arrived can be measured and dropped without waiting, and starts line editing on a
/// terminal (see console/terminal/line_editor.h). Call first in `main`, before any I/O.
void init();

/// Flushes the stream tied to `in` (standard output for std::cin) before a read, keeping back
/// the prompt when the line editor reads `in`; false when that write fails.
bool flushTiedOutput(std::istream& in);

/// Takes the next character from `in`'s buffer. Returns eof at end of input, and also when the
/// read fails, which marks `in` bad.
int takeChar(std::istream& in);

/// Reads one blank-delimited word, skipping blanks and line ends before it, and keeps at most
/// its first `maxKept` characters in `word`: the rest of the word is read and dropped, so a word
/// of any length needs no memory. The blank after it stays unread. Returns false when no word
/// came: at end of input, after a read error (`in` is bad) or when the tied output failed.
bool readWord(std::istream& in, std::string& word, size_t maxKept = std::string::npos);

/// Extracts a number into `value` exactly as `in >> value` does: the same blanks skipped, the
/// same characters consumed, the same value stored and the same state set (which throws as
/// `in`'s exception mask says). Unlike the stream's own extraction it keeps the number in
/// bounded memory, so a number of any length is read in constant memory. After a read error
/// `in` is bad and `value` is left as it was.
void extractDouble(std::istream& in, double& value);

/// Records that `in` stands at the start of a line, as after a whole-line read:
/// `discardPendingInput` then drops nothing.
void markLineEnded(std::istream& in);

/// Reads one line and hands each of its characters in order to `take(char)`. The line end is
/// consumed and not handed over, and neither is a carriage return right before it, so CRLF
/// lines read as LF lines; a line of any length needs no memory. Returns false when not even an
/// unterminated last line came (end of input), on a read error (`in` is bad) or when the tied
/// output failed. Flushes `in`'s tied stream first.
template <typename Take>
bool readLineChars(std::istream& in, Take take) {
  markLineEnded(in);
  if (!flushTiedOutput(in)) return false;
  const std::istream::sentry ok(in, /*noskipws=*/true);
  if (!ok) return false;
  bool any = false;
  bool heldReturn = false;  // a carriage return, passed on only if no line end follows
  for (int c = takeChar(in); c != '\n'; c = takeChar(in), any = true) {
    if (c == std::char_traits<char>::eof()) {
      if (in.bad()) return false;
      if (heldReturn) take('\r');
      in.setstate(any ? std::ios_base::eofbit : std::ios_base::eofbit | std::ios_base::failbit);
      return any;
    }
    if (heldReturn) take('\r');
    heldReturn = c == '\r';
    if (!heldReturn) take(static_cast<char>(c));
  }
  return true;
}

/// Drops what is left of the line on which `readWord` last read a word (blanks, further words,
/// its line end), as far as it has arrived. Never waits for input. Drops nothing after
/// `readLineChars` or before the first read, so a line not yet started is never lost.
void discardPendingInput(std::istream& in);

/// Drops the rest of the current line of `in` as far as it has arrived, then reads one
/// character and ignores it. At end of input it just returns, also when `in` throws on failure;
/// `in`'s state is left as it was. Returns false when a read failed (`in` is marked bad).
bool waitForCharacter(std::istream& in);

}  // namespace console

#endif  // CONSOLE_ASK_INPUT_H_
