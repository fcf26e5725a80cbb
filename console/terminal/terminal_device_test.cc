#include "console/terminal/terminal_device.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

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
