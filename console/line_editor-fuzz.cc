// The fuzzing build's machine has no terminal, so no line is ever edited.
#include "console/line_editor.h"

namespace console {

void startLineEditing() {}

bool editsLines(const std::istream& /*in*/) { return false; }

void namePrompt(PromptName /*name*/) {}

bool flushBeforeEditedRead() { return true; }

}  // namespace console
