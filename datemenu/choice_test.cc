#include "datemenu/choice.h"

#include <gtest/gtest.h>

#include <string>

TEST(ParseChoice, AcceptsTheDigitWordsUpToTheItemCount) {
  for (int choice = 1; choice <= 6; ++choice) {
    EXPECT_EQ(choice, parseChoice(std::to_string(choice), 6));
  }
  EXPECT_EQ(9, parseChoice("9", 9));
}

TEST(ParseChoice, RejectsEveryOtherWord) {
  for (const char* word :
       {"0", "7", "01", "12", "66", "1.", "-1", "+1", "a", "1a", "", "313532612611", "9", " 1"}) {
    EXPECT_EQ(0, parseChoice(word, 6)) << word;
  }
}

TEST(ChoicePromptText, ListsEveryChoice) {
  EXPECT_EQ("Vashe deistvie (vvedite 1,2,3,4,5,6): ", choicePromptText(6));
  EXPECT_EQ("Vashe deistvie (vvedite 1): ", choicePromptText(1));
}
