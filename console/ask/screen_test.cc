#include "console/ask/screen.h"

#include <gtest/gtest.h>

#include <iostream>
#include <string>

#include "tests/redirect.h"

namespace {

std::string rest(std::istream& in) {
  std::string text;
  std::getline(in, text, '\0');
  return text;
}

// Off a terminal the key is the first character after the current line.
TEST(WaitForKey, TakesOneCharacterAfterTheLine) {
  Redirect io("rest of line\nkey and more");
  std::cin.get();
  EXPECT_TRUE(console::waitForKey());
  EXPECT_EQ("ey and more", rest(std::cin));
  EXPECT_EQ("", io.out.str());
}

// When the prompt before the wait cannot be written, nothing is awaited and nothing is read.
TEST(WaitForKey, ReadsNothingAfterAFailedWrite) {
  Redirect io("\nkey");
  std::cout.setstate(std::ios_base::badbit);
  EXPECT_FALSE(console::waitForKey());
  std::cout.clear();
  EXPECT_EQ("\nkey", rest(std::cin));
}

}  // namespace
