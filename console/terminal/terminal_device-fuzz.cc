// The fuzzing build's machine has no terminal: the key wait reads plain input, and nothing is
// cleared.
#include "console/terminal/terminal_device.h"

namespace console {

bool outputIsTerminal() { return false; }

bool writeToTerminal(std::string_view /*bytes*/) { return true; }

bool byteArrived() { return false; }

bool terminalMovesCursor() { return false; }

std::string clearSequence(bool /*andScrollback*/) { return ""; }

bool takeEndTypedAhead() { return false; }

bool readTerminalKey(bool* /*readOk*/) { return false; }

}  // namespace console
