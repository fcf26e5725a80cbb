// The guarded prompts of the array editor. Each asks until its answer parses and lies in range:
// text that does not parse gets "Error vvoda, vvedi pravilnor znachenie" on standard error and
// the prompt again, after the rest of its line is dropped. Each returns false, asking no more,
// once the dialogue has stopped: standard input ended or failed, or standard output failed.
// Standard input must be in failure-exception mode (`std::cin.exceptions(failbit)`).
#ifndef ARRAYMENU_DIALOGUE_H_
#define ARRAYMENU_DIALOGUE_H_

#include <cstdint>

/// Asks "vvedite razmer massiva: " until a size 1..kMaxArraySize comes, writing a line end after
/// each read and "CHISLO DOLGNO BIT >0 i <" kMaxArraySize + 1 for a number out of range,
/// including any number typed with a minus sign. Stores it in `arraySize`; false once stopped.
bool inputSize(uint32_t& arraySize);

/// Asks "Vvedite chislo (1..N): " until a choice 1..N comes, N the number of menu items,
/// writing "CHISLO DOLGNO BIT >0 i <=N" for a number out of range. Stores it in `choice`; false
/// once stopped.
bool inputChoice(int32_t& choice);

/// Asks "Vvedite nomer elementa: " and then "Vvedite znachenie elementa: ", a line end after each
/// read, until the number lies in 1..`count`; a number out of range is reported, after both
/// were typed, as "CHISLO DOLGNO BIT >0 i <=" and `count`. Stores both; false once stopped.
bool inputChange(uint32_t count, int32_t& elementNumber, double& value);

/// Asks "Vvedite znachenie elementa: " until a number comes, then writes a line end. Stores it
/// in `value`; false once stopped.
bool inputValue(double& value);

#endif  // ARRAYMENU_DIALOGUE_H_
