// Runs a program's whole dialogue in this process over input held in memory, and the checks
// its fuzz targets share. Needs the fuzzing build's console, which has no terminal and a
// clock that stands still.
#ifndef FUZZ_DIALOGUE_HARNESS_H_
#define FUZZ_DIALOGUE_HARNESS_H_

#include <set>
#include <string>
#include <string_view>
#include <vector>

/// A stream failure for a run: a read that fails, as a file's read error does, once `at` bytes
/// were read (or where the input ends), or a write to standard output that fails once `at`
/// bytes were written.
struct StreamFault {
  enum class Kind { none, read, write };
  Kind kind = Kind::none;
  size_t at = 0;
};

/// A fuzz input split into the fault it asks for and the program's standard input. An input
/// that starts with byte 0xFF asks with its next three bytes: 'r' or 'w' (anything else: no
/// fault), then `at` in two bytes, low byte first; the rest is the program's input. Any other
/// input is the program's input whole.
struct FuzzInput {
  StreamFault fault;
  std::string_view input;
};
FuzzInput decodeFuzzInput(std::string_view data);

/// What one run of a dialogue produced.
struct DialogueRun {
  std::string out;
  std::string err;
  int status;
  StreamFault fault;
};

/// Runs `programMain` without arguments, with `input` as standard input, a fresh input stream
/// state and captured standard output and error, failing as `fault` says. The status is what
/// it returned.
DialogueRun runDialogue(int (*programMain)(int, char**), std::string_view input,
                        StreamFault fault = {});

/// Fails the run unless its stream failure and its ending agree: status 4 exactly when standard
/// error ends with "Oshibka chteniya" (only after a read fault) or "Oshibka zapisi" (only after
/// a write fault). Returns true when standard output was cut by a failed write.
bool checkStreamFailureEnding(const DialogueRun& run);

/// The lines of `text` without their line ends; `rest` gets what follows the last line end.
std::vector<std::string_view> splitLines(std::string_view text, std::string_view* rest);

/// Reports a broken promise with the run that broke it and aborts, which the fuzzer records.
[[noreturn]] void failRun(const DialogueRun& run, std::string_view what, std::string_view line);

/// Fails the run unless standard error is whole lines, each one of `allowed`.
void checkErrorLines(const DialogueRun& run, const std::set<std::string_view>& allowed);

/// Drops every leading occurrence of any of `prompts` from `line`.
std::string_view stripPrompts(std::string_view line, const std::vector<std::string_view>& prompts);

/// True for a non-empty run of decimal digits without a leading zero (or "0" itself).
bool isUnsignedText(std::string_view text);

/// True for a number as a stream writes a double or float in its default format: an optional
/// minus, then digits with an optional fraction and an optional exponent e+dd / e-dd, or inf
/// or nan.
bool isGeneralNumberText(std::string_view text);

#endif  // FUZZ_DIALOGUE_HARNESS_H_
