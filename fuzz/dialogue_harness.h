// Runs a program's whole dialogue in this process over input held in memory, and the checks
// its fuzz targets share. Needs the fuzzing build's console, whose exit returns to the caller.
#ifndef FUZZ_DIALOGUE_HARNESS_H_
#define FUZZ_DIALOGUE_HARNESS_H_

#include <set>
#include <string>
#include <string_view>
#include <vector>

/// What one run of a dialogue produced.
struct DialogueRun {
  std::string out;
  std::string err;
  int status;
};

/// Runs `programMain` with `input` as standard input, a fresh input stream state and captured
/// standard output and error. The status is what it returned or passed to the console's exit.
DialogueRun runDialogue(int (*programMain)(), std::string_view input);

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
