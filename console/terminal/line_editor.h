// Line editing at the prompts on a terminal: when standard input and output are both terminals
// and TERM names a terminal with a description other than `dumb`, lines are read through a line
// editor (libedit), with the keys of `editingKeys` (line_text.h) and a history of the answers
// given to each prompt in this run; every other key is dropped whole. Lines are edited as UTF-8
// in every locale: where the locale's character set is not UTF-8 (none set, C, one that fails to
// load, another character set), the character type is C.UTF-8's, as terminals send UTF-8
// whatever the locale says. Everywhere else (and where C.UTF-8 fails to load) nothing changes.
//
// The editor hands the program exactly the bytes typed and left in the line: a UTF-8 character
// is one character to edit, and a byte that is not UTF-8 is kept as it came. A line holds at most
// `kMaxLineBytes` bytes; further keys ring the bell and are not taken.
//
// The prompt is the text written on standard output since the prompt was named: the editor
// draws it (and draws it again when the line is edited, the screen cleared, the program
// continued after a stop, or the window resized) instead of the stream writing it.
#ifndef CONSOLE_TERMINAL_LINE_EDITOR_H_
#define CONSOLE_TERMINAL_LINE_EDITOR_H_

#include <istream>

namespace console {

/// Starts line editing on std::cin and std::cout when the conditions above hold; called by
/// `init`. Ctrl-D on an empty line is end of input; with text, it deletes the character under
/// the cursor, and at the end of the line it rings the bell. On signals (Ctrl-C, Ctrl-Z,
/// SIGTERM, a hang-up) the terminal gets its settings back before the signal takes its effect.
void startLineEditing();

/// True when `in` reads its lines through the line editor.
bool editsLines(std::istream& in);

/// Names the prompt about to be written for the next line read from `in`, when the editor reads
/// it: what standard output holds is written now, and the text written after it is the prompt.
/// The answers typed to prompts named with the same `history`, an id of the caller's choosing,
/// make one history; each id has its own.
void namePrompt(std::istream& in, int history);

/// Before a read from an edited stream: leaves what standard output holds for the editor, which
/// draws it as the prompt when a line has to be read; if none has to be, the next flush writes
/// it. False when standard output has failed.
bool flushBeforeEditedRead();

}  // namespace console

#endif  // CONSOLE_TERMINAL_LINE_EDITOR_H_
