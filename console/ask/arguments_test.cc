#include "console/ask/arguments.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct ArgumentsCase {
  std::vector<const char*> arguments;
  console::ArgumentsAction action;
  const char* offending;
};

TEST(ParseArguments, HelpVersionOrTheFirstUnknownArgument) {
  using console::ArgumentsAction;
  const ArgumentsCase cases[] = {
      {{}, ArgumentsAction::runDialogue, nullptr},
      {{"--help"}, ArgumentsAction::showHelp, nullptr},
      {{"--version", "--help"}, ArgumentsAction::showVersion, nullptr},
      {{"--help", "-x", "y"}, ArgumentsAction::unrecognized, "-x"},
      {{"-h"}, ArgumentsAction::unrecognized, "-h"},
      {{"--help=1"}, ArgumentsAction::unrecognized, "--help=1"},
      {{""}, ArgumentsAction::unrecognized, ""},
  };
  for (const ArgumentsCase& c : cases) {
    std::vector<char*> argv{const_cast<char*>("program")};
    for (const char* argument : c.arguments) argv.push_back(const_cast<char*>(argument));
    const char* offending = nullptr;
    EXPECT_EQ(c.action,
              console::parseArguments(static_cast<int>(argv.size()), argv.data(), &offending));
    EXPECT_STREQ(c.offending, offending);
  }
}

}  // namespace
