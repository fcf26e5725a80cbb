// The platform services the three programs share: stream setup and the command line, reading
// words, lines and numbers with a clear result when the dialogue cannot go on, dropping input
// the user typed ahead, clearing the terminal, waiting for a key, the clock, the size of memory,
// advice on its use and ending the program. This is the only code that touches file descriptors,
// terminal state and the system's limits.
//
// console-streams.cc holds what works on the standard streams alone, console-arguments.cc the
// command line, console-posix.cc the terminal and system services. The fuzzing build replaces
// console-posix.cc with console-fuzz.cc, a small machine without a terminal whose exit returns
// to the caller.
//
// The dialogue stops, for good, at the first of: standard input ended (a read met its end once,
// also after an unterminated last line), a read failed (the stream is marked bad), or a write to
// standard output failed (found when it is flushed, which happens before every read).
#ifndef CONSOLE_CONSOLE_H_
#define CONSOLE_CONSOLE_H_

#include <cstddef>
#include <cstdint>
#include <iostream>
#include <limits>
#include <string>
#include <string_view>

namespace console {

/// Exit statuses shared by the programs.
inline constexpr int kStatusEndOfInput = 2;
inline constexpr int kStatusOutOfMemory = 3;
inline constexpr int kStatusStreamFailed = 4;
inline constexpr int kStatusUsage = 64;

/// Gives the standard streams buffers of their own, detached from C stdio, so that input that
/// has arrived can be measured and dropped without waiting. Call first in `main`, before any I/O.
void init();

/// What the command line asks for.
enum class ArgumentsAction { runDialogue, showHelp, showVersion, unrecognized };

/// Judges the arguments after the program name: none runs the dialogue; `--help` or `--version`
/// (the first of them wins) shows that; any other argument is unrecognized, and `*offending`
/// points to the first such.
ArgumentsAction parseArguments(int argc, char* const argv[], const char** offending);

/// What `--help` tells of a program beyond what all share (the usage line, where answers are
/// read, statuses 4 and 64, the manual page): what it does, and its own exit statuses as lines
/// "   N  meaning".
struct Usage {
  std::string_view description;
  std::string_view statuses;
};

/// Acts on the command line before anything else is read or written: returns when there are no
/// arguments; `--help` writes the usage on standard output and ends with status 0; `--version`
/// writes "`program` (consoletools) VERSION" and ends with status 0; anything else gets
/// "`program`: unrecognized argument 'ARG'" and "Try '`program` --help'." on standard error and
/// ends with status 64.
void takeArguments(int argc, char* const argv[], std::string_view program, const Usage& usage);

/// Flushes the stream tied to `in` (standard output for std::cin); false when that write fails.
bool flushTiedOutput(std::istream& in);

/// Takes the next character from `in`'s buffer. Returns eof at end of input, and also when the
/// read fails, which marks `in` bad.
int takeChar(std::istream& in);

/// Reads one blank-delimited word, skipping blanks and line ends before it, and keeps at most
/// its first `maxKept` characters in `word`: the rest of the word is read and dropped, so a word
/// of any length needs no memory. The blank after it stays unread. Returns false when no word
/// came: at end of input, after a read error (`in` is bad) or when the tied output failed.
bool readWord(std::istream& in, std::string& word, size_t maxKept = std::string::npos);

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

/// Drops input up to and including the next line end, but only what has already arrived:
/// stops without waiting when nothing more is available.
void discardRestOfLine(std::istream& in);

/// True when the dialogue cannot go on: standard output failed, or standard input ended or
/// failed.
bool dialogueStopped();

/// Flushes standard output before a read from std::cin. When that write fails, nothing is read:
/// std::cin's failure bit is set instead (which throws in failure-exception mode).
void flushBeforeRead();

/// Extracts `value` from std::cin as `std::cin >> value` does, after `flushBeforeRead`.
template <typename T>
void readValue(T& value) {
  flushBeforeRead();
  std::cin >> value;
}

/// A guarded prompt: runs `pass` until it returns true (its answer was accepted). `pass` writes
/// its prompts and reads with `readValue` from std::cin in failure-exception mode, returning
/// false for an answer out of range. When a value does not parse, writes `inputError` on
/// standard error, drops the rest of the line and runs `pass` again. Returns false, asking no
/// more, once the dialogue has stopped (`dialogueStopped`).
template <typename Pass>
bool askUntilAccepted(std::string_view inputError, Pass pass) {
  for (;;) {
    try {
      if (pass()) return true;
    } catch (const std::ios_base::failure&) {
      // At end of input, clearing the state and asking again would ask for ever.
      if (dialogueStopped()) return false;
      std::cerr << inputError << std::endl;
      std::cin.clear();
      std::cin.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
    }
  }
}

/// Clears the terminal and puts the cursor home when standard output is a terminal that knows
/// how (TERM is not `dumb`); writes nothing when it is a pipe or a file. Flushes `std::cout`
/// first.
void clearScreen();

/// The way out when the dialogue has stopped (`dialogueStopped`). The caller releases what it
/// owns first. When standard output failed: "Oshibka zapisi" on standard error, status 4.
/// Otherwise a line end on standard output ends the prompt's line, then on standard error
/// "Oshibka chteniya" with status 4 after a read error, or "Konec vvoda" with status 2 at end
/// of input.
[[noreturn]] void exitAtStreamEnd();

/// Writes "Nedostatochno pamyati" on standard error: what was asked for cannot be held.
void reportOutOfMemory();

/// Flushes standard output and error and ends the program with `status`, or with status 4 after
/// writing "Oshibka zapisi" on standard error when standard output failed. Destructors of
/// locals do not run: the caller releases what it owns first.
[[noreturn]] void exitProgram(int status);

/// Ends the process with `status` at once; the exits above end through it.
[[noreturn]] void endProcess(int status);

/// The machine's physical memory in bytes, the most a block may take without the system
/// killing the process as it is filled; the largest value when it cannot be told.
uint64_t physicalMemory();

/// Asks the system to back the whole huge pages inside `block` (`bytes` long) with huge pages
/// when they are first touched: one fault instead of 512 for each 2 MiB. Only advice; nothing
/// changes when it is not taken. Gives none when CONSOLETOOLS_SMALL_PAGES is set to 1, a
/// benchmarking aid to compare a run with the small pages it would otherwise have.
void adviseHugePages(void* block, size_t bytes);

/// Many small blocks about to be allocated one after another, `bytes` in all, as the rows of a
/// matrix: the heap is asked to grow once by all of them, and what it grows by is advised to
/// take huge pages before anything in it is touched (see `adviseHugePages`). Only advice; an
/// allocator that works otherwise is left alone.
struct HeapGrowth {
  bool active;
  uintptr_t heapEnd;  // where the heap ended when last looked at
};

/// Starts a growth of `bytes`, before the first of its blocks is allocated.
HeapGrowth beginHeapGrowth(size_t bytes);

/// Called after each block is allocated: advises what the heap grew by since the last call.
void adviseHeapGrowth(HeapGrowth& growth);

/// Ends the growth: later allocations grow the heap as usual again.
void endHeapGrowth(const HeapGrowth& growth);

/// Waits for one key and ignores it; flushes `std::cout` first. On a terminal the key is read
/// without echo and without waiting for Enter, and only its bytes are taken (see `keyContinues`);
/// Ctrl-C and the other control keys count as keys. The terminal's settings are restored
/// afterwards, also when SIGTERM, SIGHUP, SIGINT or SIGQUIT arrives during the wait (the signal
/// then takes its usual effect); SIGTSTP stops the program with the settings restored and the
/// wait goes on once it is continued. Otherwise behaves as `waitForCharacter(std::cin)`. Returns
/// at once when standard input has already ended. When standard output is a terminal, writes a
/// line end after the key. Returns true after a key or at end of input; false when standard
/// output failed (nothing is awaited) or the read failed (std::cin is marked bad).
bool waitForKey();

/// Drops the rest of the current line of `in` as far as it has arrived, then reads one
/// character and ignores it. At end of input it just returns, also when `in` throws on failure;
/// `in`'s state is left as it was. Returns false when a read failed (`in` is marked bad).
bool waitForCharacter(std::istream& in);

/// The current calendar time in whole seconds since 1970-01-01 UTC.
int64_t currentTime();

}  // namespace console

#endif  // CONSOLE_CONSOLE_H_
