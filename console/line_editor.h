// Line editing at the prompts on a terminal: when standard input and output are both terminals
// and TERM names one with cursor control, lines are read through a line editor (libedit), with
// Left, Right, Home, End, Delete and the usual control keys, and a history of the answers
// typed at each prompt in this run. Everywhere else nothing changes.
//
// The prompt is the text standard output holds after its last line end when a line is needed:
// the editor draws it (and draws it again as the line is edited) instead of the stream writing
// it. Answers are taken from the edited line one by one, as from any line of input.
#ifndef CONSOLE_LINE_EDITOR_H_
#define CONSOLE_LINE_EDITOR_H_

#include <istream>

namespace console {

/// Starts line editing on std::cin and std::cout when standard input and output are both
/// terminals and TERM is set and not `dumb`; called by `init`.
/// Ctrl-D on an empty line is end of input; on signals (Ctrl-C, Ctrl-Z, SIGTERM, a hang-up)
/// the editor gives the terminal its settings back before the signal takes its effect.
void startLineEditing();

/// True when `in` reads its lines through the line editor.
bool editsLines(const std::istream& in);

/// Before a read from an edited stream: leaves what standard output holds for the editor, which
/// writes its complete lines and draws the rest as the prompt when a line has to be read; if
/// none has to be, the next flush writes it. False when standard output has failed.
bool flushBeforeEditedRead();

}  // namespace console

#endif  // CONSOLE_LINE_EDITOR_H_
