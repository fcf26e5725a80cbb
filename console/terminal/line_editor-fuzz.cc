// The fuzzing build's machine has no terminal, so no line is ever edited.
#include "console/terminal/line_editor.h"

namespace console {

void startLineEditing() {}

bool editsLines(std::istream& /*in*/) { return false; }

void namePrompt(std::istream& /*in*/, int /*history*/) {}

bool flushBeforeEditedRead() { return true; }

}  // namespace console
