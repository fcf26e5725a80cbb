#include "console/terminal.h"

#include <gtest/gtest.h>

#include <iostream>
#include <string>
#include <utility>

#include "console/terminal_device.h"
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

// A terminal description's delays are for terminals on slow lines; anything else stays.
TEST(WithoutDelays, DropsEachDelayAndKeepsEverythingElse) {
  const std::pair<const char*, const char*> cases[] = {
      {"\x1b[H\x1b[J$<50>", "\x1b[H\x1b[J"},
      {"a$<5*/>b$<2.5>c", "abc"},
      {"$<1>", ""},
      {"a$<x>b$<>c", "a$<x>b$<>c"},
      {"a$<5", "a$<5"},
      {"a>b$c", "a>b$c"},
      {"", ""},
  };
  for (const auto& [capability, bytes] : cases) {
    EXPECT_EQ(bytes, console::withoutDelays(capability)) << capability;
  }
}

}  // namespace
