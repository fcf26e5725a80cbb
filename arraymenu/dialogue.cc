#include "arraymenu/dialogue.h"

#include <iostream>
#include <string>
#include <string_view>

#include "arraymenu/menu.h"
#include "arraymenu/number_array.h"
#include "console/ask/prompt.h"

namespace {

// The histories of answers on a terminal with line editing, one for each question.
enum PromptHistory { sizeAnswers, choiceAnswers, elementNumberAnswers, valueAnswers };

constexpr std::string_view kInputError = "Error vvoda, vvedi pravilnor znachenie";

const console::Prompt kSizePrompt{sizeAnswers, "vvedite razmer massiva: "};
const console::Prompt kElementNumberPrompt{elementNumberAnswers, "Vvedite nomer elementa: "};
const console::Prompt kValuePrompt{valueAnswers, "Vvedite znachenie elementa: "};

}  // namespace

bool inputSize(uint32_t& arraySize) {
  return console::askUntilAccepted(kInputError, [&] {
    console::askCount(kSizePrompt, arraySize);
    std::cout << std::endl;
    if (arraySize > 0 && arraySize <= kMaxArraySize) return true;
    std::cout << "CHISLO DOLGNO BIT >0 i <" << kMaxArraySize + 1 << std::endl;
    return false;
  });
}

bool inputChoice(int32_t& choice) {
  static const std::string promptText =
      "Vvedite chislo (1.." + std::to_string(kMenu.size()) + "): ";
  const console::Prompt prompt{choiceAnswers, promptText};
  return console::askUntilAccepted(kInputError, [&] {
    console::askValue(prompt, choice);
    if (choice > 0 && static_cast<size_t>(choice) <= kMenu.size()) return true;
    std::cout << "CHISLO DOLGNO BIT >0 i <=" << kMenu.size() << std::endl;
    return false;
  });
}

bool inputChange(uint32_t count, int32_t& elementNumber, double& value) {
  return console::askUntilAccepted(kInputError, [&] {
    console::askValue(kElementNumberPrompt, elementNumber);
    std::cout << std::endl;
    console::askValue(kValuePrompt, value);
    std::cout << std::endl;
    if (elementNumber > 0 && int64_t{elementNumber} <= int64_t{count}) return true;
    std::cout << "CHISLO DOLGNO BIT >0 i <=" << count << std::endl;
    return false;
  });
}

bool inputValue(double& value) {
  return console::askUntilAccepted(kInputError, [&] {
    console::askValue(kValuePrompt, value);
    std::cout << std::endl;
    return true;
  });
}
