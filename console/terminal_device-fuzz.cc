// The fuzzing build's machine has no terminal: the key wait reads plain input, and nothing is
// cleared.
#include "console/terminal_device.h"

namespace console {

bool outputIsTerminal() { return false; }

void writeToTerminal(std::string_view /*bytes*/) {}

bool readTerminalKey(bool* /*readOk*/) { return false; }

}  // namespace console
