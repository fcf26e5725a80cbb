#include "datemenu/choice.h"

#include <gtest/gtest.h>

#include <string>

TEST(ParseChoice, AcceptsTheSixDigitWords) {
  for (int choice = 1; choice <= 6; ++choice) {
    EXPECT_EQ(choice, parseChoice(std::to_string(choice)));
  }
}

TEST(ParseChoice, RejectsEveryOtherWord) {
  for (const char* word :
       {"0", "7", "01", "12", "66", "1.", "-1", "+1", "a", "1a", "", "313532612611", "9", " 1"}) {
    EXPECT_EQ(0, parseChoice(word)) << word;
  }
}
