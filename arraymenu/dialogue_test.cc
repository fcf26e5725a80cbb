#include "arraymenu/dialogue.h"

#include <gtest/gtest.h>

#include <cmath>
#include <iostream>
#include <string>

#include "arraymenu/menu.h"
#include "tests/redirect.h"

namespace {

const std::string kInputError = "Error vvoda, vvedi pravilnor znachenie\n";

// Standard input in failure-exception mode while a dialogue runs, as the program sets it.
struct Dialogue : Redirect {
  explicit Dialogue(const std::string& input) : Redirect(input) {
    std::cin.exceptions(std::ios_base::failbit);
  }
  ~Dialogue() {
    std::cin.exceptions(std::ios_base::goodbit);
    std::cin.clear();
  }
};

TEST(InputSize, AcceptsTheBounds) {
  for (const char* text : {"1\n", "52428799\n", "  +7\n", "00012"}) {
    Dialogue io(text);
    uint32_t arraySize = 0;
    ASSERT_TRUE(inputSize(arraySize)) << text;
    EXPECT_EQ("vvedite razmer massiva: \n", io.out.str()) << text;
  }
}

TEST(InputSize, RangeMessageForZeroTooLargeAndAnyMinusSign) {
  for (const char* text : {"0", "52428800", "4294967295", "-5", "-4294967295", "-1",
                           "-99999999999999999999999", "-0"}) {
    Dialogue io(std::string(text) + "\n3\n");
    uint32_t arraySize = 0;
    ASSERT_TRUE(inputSize(arraySize)) << text;
    EXPECT_EQ(3u, arraySize) << text;
    EXPECT_EQ(
        "vvedite razmer massiva: \nCHISLO DOLGNO BIT >0 i <52428800\n"
        "vvedite razmer massiva: \n",
        io.out.str())
        << text;
    EXPECT_EQ("", io.err.str()) << text;
  }
}

TEST(InputSize, InputErrorForTextThatIsNoSize) {
  for (const char* text : {"abc", "-", "- 5", "+", "4294967296", ".5", "-x"}) {
    Dialogue io(std::string(text) + "\n3\n");
    uint32_t arraySize = 0;
    ASSERT_TRUE(inputSize(arraySize)) << text;
    EXPECT_EQ(3u, arraySize) << text;
    EXPECT_EQ("vvedite razmer massiva: vvedite razmer massiva: \n", io.out.str()) << text;
    EXPECT_EQ(kInputError, io.err.str()) << text;
  }
}

TEST(InputSize, EndOfInputEndsTheDialogue) {
  for (const char* text : {"", "\n  \n", "abc", "0\n", "-", "-3", "x12"}) {
    Dialogue io(text);
    uint32_t arraySize = 0;
    EXPECT_FALSE(inputSize(arraySize)) << text;
  }
}

// The range is that of the menu's items, however many there are.
TEST(InputChoice, RangeMessageThenAcceptedChoice) {
  const std::string items = std::to_string(kMenu.size());
  Dialogue io("0\n" + std::to_string(kMenu.size() + 1) + "\n-1\n" + items + "\n");
  int32_t choice = 0;
  ASSERT_TRUE(inputChoice(choice));
  EXPECT_EQ(static_cast<int32_t>(kMenu.size()), choice);
  const std::string prompt = "Vvedite chislo (1.." + items + "): ";
  const std::string range = "CHISLO DOLGNO BIT >0 i <=" + items + "\n";
  EXPECT_EQ(prompt + range + prompt + range + prompt + range + prompt, io.out.str());
}

TEST(InputChoice, InputErrorDropsTheRestOfTheLine) {
  Dialogue io("x 4\n2147483648\n5 1\n");
  int32_t choice = 0;
  ASSERT_TRUE(inputChoice(choice));
  EXPECT_EQ(5, choice);
  EXPECT_EQ(kInputError + kInputError, io.err.str());
  EXPECT_EQ(' ', std::cin.get());  // what follows the choice stays for the next prompt
}

TEST(InputChoice, EndOfInputEndsTheDialogue) {
  for (const char* text : {"", "0\n", "x"}) {
    Dialogue io(text);
    int32_t choice = 0;
    EXPECT_FALSE(inputChoice(choice)) << text;
  }
}

TEST(InputChange, NumberOutOfRangeIsReportedAfterTheValueWithTheCount) {
  Dialogue io("0\n1.5\n4\n2\n3\n-7.25\n");
  int32_t elementNumber = 0;
  double value = 0.0;
  ASSERT_TRUE(inputChange(3, elementNumber, value));
  EXPECT_EQ(3, elementNumber);
  EXPECT_EQ(-7.25, value);
  const std::string both = "Vvedite nomer elementa: \nVvedite znachenie elementa: \n";
  const std::string range = "CHISLO DOLGNO BIT >0 i <=3\n";
  EXPECT_EQ(both + range + both + range + both, io.out.str());
}

TEST(InputChange, ABadValueStartsAgainFromTheNumber) {
  Dialogue io("1\nabc\n2\n8\n");
  int32_t elementNumber = 0;
  double value = 0.0;
  ASSERT_TRUE(inputChange(2, elementNumber, value));
  EXPECT_EQ(2, elementNumber);
  EXPECT_EQ(8.0, value);
  EXPECT_EQ(kInputError, io.err.str());
  EXPECT_EQ(
      "Vvedite nomer elementa: \nVvedite znachenie elementa: "
      "Vvedite nomer elementa: \nVvedite znachenie elementa: \n",
      io.out.str());
}

TEST(InputChange, EndOfInputEndsTheDialogue) {
  for (const char* text : {"", "1\n", "9\n1\n", "x\n"}) {
    Dialogue io(text);
    int32_t elementNumber = 0;
    double value = 0.0;
    EXPECT_FALSE(inputChange(5, elementNumber, value)) << text;
  }
}

TEST(InputValue, AnyNumberIsAccepted) {
  Dialogue io(".\n1e999\n-0.0\n");
  double value = 1.0;
  ASSERT_TRUE(inputValue(value));
  EXPECT_TRUE(value == 0.0 && std::signbit(value));
  EXPECT_EQ(kInputError + kInputError, io.err.str());
}

TEST(InputValue, EndOfInputEndsTheDialogue) {
  for (const char* text : {"", "-", "abc\n"}) {
    Dialogue io(text);
    double value = 0.0;
    EXPECT_FALSE(inputValue(value)) << text;
  }
}

}  // namespace
