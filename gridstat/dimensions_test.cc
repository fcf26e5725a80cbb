#include "gridstat/dimensions.h"

#include <gtest/gtest.h>

#include <iostream>
#include <string>

#include "tests/redirect.h"

namespace {

// The dialogue as the program runs it: standard input throwing on a failed read.
struct Dialogue {
  explicit Dialogue(const std::string& input) : io(input) {
    std::cin.exceptions(std::ios_base::failbit);
  }
  ~Dialogue() { std::cin.exceptions(std::ios_base::goodbit); }
  Redirect io;
};

const std::string kPass = "Vvedite kol-vo stroc\n\nVvedite kol-vo stolbcov\n\n";
const std::string kNotPositive = "\nNugni chisla > 0\n";
const std::string kNotNumber = "Vvedite tolko chisla!\n";

struct DialogueCase {
  const char* input;
  int rows;
  int columns;
  std::string out;
  std::string err;
};

TEST(InputDimensions, AsksUntilBothCountsArePositive) {
  const DialogueCase cases[] = {
      {"2\n3\n", 2, 3, kPass, ""},
      {"2 3\n", 2, 3, kPass, ""},  // both on one line answer both prompts
      {"\n\n   2\n\n\t 3\n", 2, 3, kPass, ""},
      {"+4 0005\n", 4, 5, kPass, ""},
      {"3x\n2 2\n", 2, 2, "Vvedite kol-vo stroc\n\nVvedite kol-vo stolbcov\n" + kPass, kNotNumber},
      {"x 9 9\n1 1\n", 1, 1, "Vvedite kol-vo stroc\n" + kPass, kNotNumber},
      {"0 5\n-1 2\n2 -3\n4 4\n", 4, 4,
       kPass + kNotPositive + kPass + kNotPositive + kPass + kNotPositive + kPass, ""},
      {"2147483648 1\n2147483647 1\n", 2147483647, 1, "Vvedite kol-vo stroc\n" + kPass, kNotNumber},
      {"1 -2147483649 rest\n3 3\n", 3, 3,
       "Vvedite kol-vo stroc\n\nVvedite kol-vo stolbcov\n" + kPass, kNotNumber},
  };
  for (const DialogueCase& c : cases) {
    Dialogue d(c.input);
    int rows = -7;
    int columns = -7;
    ASSERT_TRUE(inputDimensions(&rows, &columns)) << c.input;
    EXPECT_EQ(c.rows, rows) << c.input;
    EXPECT_EQ(c.columns, columns) << c.input;
    EXPECT_EQ(c.out, d.io.out.str()) << c.input;
    EXPECT_EQ(c.err, d.io.err.str()) << c.input;
  }
}

TEST(InputDimensions, EndsAtEndOfInput) {
  const DialogueCase cases[] = {
      {"", 0, 0, "Vvedite kol-vo stroc\n", ""},
      {"5", 0, 0, "Vvedite kol-vo stroc\n\nVvedite kol-vo stolbcov\n", ""},
      {"0 0\n", 0, 0, kPass + kNotPositive + "Vvedite kol-vo stroc\n", ""},
      {"abc", 0, 0, "Vvedite kol-vo stroc\nVvedite kol-vo stroc\n", kNotNumber},
      {"2.5 1\n", 0, 0, "Vvedite kol-vo stroc\n\nVvedite kol-vo stolbcov\nVvedite kol-vo stroc\n",
       kNotNumber},  // the columns read fails on the point
      {"3 x\n\n\n", 0, 0, "Vvedite kol-vo stroc\n\nVvedite kol-vo stolbcov\nVvedite kol-vo stroc\n",
       kNotNumber},
  };
  for (const DialogueCase& c : cases) {
    Dialogue d(c.input);
    int rows = 0;
    int columns = 0;
    EXPECT_FALSE(inputDimensions(&rows, &columns)) << c.input;
    EXPECT_EQ(c.out, d.io.out.str()) << c.input;
    EXPECT_EQ(c.err, d.io.err.str()) << c.input;
  }
}

}  // namespace
