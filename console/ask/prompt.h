// Asking: the one way the programs put a question and read its answer. The caller names the
// prompt; its text goes to standard output just before the read, and on a terminal with line
// editing the prompt's history id chooses the history of earlier answers (see
// console/terminal/line_editor.h).
//
// A guarded prompt loop, `askUntilAccepted`, runs a pass of questions until its answers are
// accepted. The dialogue stops, for good, at the first of: standard input ended (a read met its
// end once, also after an unterminated last line), a read failed (the stream is marked bad), or
// a write to standard output failed (found when it is flushed, which happens before every read).
// A read that cannot go on for that reason throws std::ios_base::failure, and the loop returns
// false, asking no more.
#ifndef CONSOLE_ASK_PROMPT_H_
#define CONSOLE_ASK_PROMPT_H_

#include <cstddef>
#include <cstdint>
#include <iostream>
#include <limits>
#include <string>
#include <string_view>

#include "console/ask/input.h"

namespace console {

/// Where the answer is typed: after the prompt's text on the same line, or on the line below
/// it (the prompt is a whole line).
enum class AnswerPlace { sameLine, nextLine };

/// A question: the history of its answers on a terminal with line editing (an id of the
/// program's choosing; questions with the same id share one), its text, and where its answer
/// goes.
struct Prompt {
  int history;
  std::string_view text;
  AnswerPlace place = AnswerPlace::sameLine;
};

/// Writes the prompt's text on standard output, with a line end for `AnswerPlace::nextLine`,
/// and names it for the next read from std::cin. The text reaches the terminal when that read
/// flushes standard output.
void writePrompt(const Prompt& prompt);

/// True when the dialogue cannot go on: standard output failed, or standard input ended or
/// failed.
bool dialogueStopped();

/// Asks `prompt` and reads one word of the answer into `word` as `readWord` does, keeping at
/// most `maxKept` characters. Throws std::ios_base::failure when no word came.
void askWord(const Prompt& prompt, std::string& word, size_t maxKept);

/// Asks `prompt` and hands each character of the answer line to `take(char)` as
/// `readLineChars` does. Throws std::ios_base::failure when no line came.
template <typename Take>
void askLine(const Prompt& prompt, Take take) {
  writePrompt(prompt);
  if (!readLineChars(std::cin, take)) throw std::ios_base::failure("no line");
}

/// Asks `prompt` and extracts `value` from std::cin as `std::cin >> value` does (in bounded
/// memory for a double, see `extractDouble`); std::cin must be in failure-exception mode. A read
/// error or a failed write throws as a parse error does, so that a value the read could not
/// complete is never taken.
void askValue(const Prompt& prompt, int& value);
void askValue(const Prompt& prompt, double& value);

/// As `askValue` for an unsigned count, except that a minus sign followed by digits of any
/// length reads as 0, where the stream would wrap "-5" to 4294967291 and "-4294967295" to 1; a
/// minus sign without digits fails as the extraction would.
void askCount(const Prompt& prompt, uint32_t& count);

/// Runs `pass` until it returns true (its answers were accepted); `pass` asks and returns false
/// for an answer it rejects, having said why. A value that does not parse gets `inputError` on
/// standard error, the rest of its line dropped, and `pass` again. Returns false, asking no more,
/// once the dialogue has stopped.
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

/// As above for answers read as text, which never fail to parse: every failure is the dialogue
/// stopping.
template <typename Pass>
bool askUntilAccepted(Pass pass) {
  for (;;) {
    try {
      if (pass()) return true;
    } catch (const std::ios_base::failure&) {
      if (dialogueStopped()) return false;
      throw;
    }
  }
}

}  // namespace console

#endif  // CONSOLE_ASK_PROMPT_H_
