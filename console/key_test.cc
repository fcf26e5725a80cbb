#include "console/key.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace {

struct KeyCase {
  const char* bytes;
  size_t keyLength;
};

// Where a key ends in what arrived at once: the bytes after it stay for the next reader.
TEST(KeyContinues, TakesOneByteOneSequenceOrOneCharacter) {
  const KeyCase cases[] = {
      {"kx", 1},
      {"\x03x", 1},
      {"\x1b[Ax", 3},
      {"\x1bOPx", 3},
      {"\x1b[1;5Cx", 6},
      {"\x1b[200~x", 6},
      {"\x1bxy", 2},
      {"\x1b[\nx", 3},
      {"\xc3\xa9x", 2},
      {"\xc2\x80x", 2},
      {"\xdf\xbfx", 2},
      {"\xe0\xa0\x80x", 3},
      {"\xef\xbf\xbfx", 3},
      {"\xf4\x8f\xbf\xbfx", 4},
      {"\xc1\xbfx", 1},
      {"\xf5\x80x", 1},
      {"\xe2\x82\xacx", 3},
      {"\xf0\x9f\x99\x82x", 4},
      {"\x80x", 1},
      {"\x1b[111111111111111111", console::kMaxKeyBytes},
  };
  for (const KeyCase& c : cases) {
    const std::string_view bytes(c.bytes);
    size_t length = 1;
    while (length < bytes.size() && console::keyContinues(bytes.substr(0, length))) ++length;
    EXPECT_EQ(c.keyLength, length) << testing::PrintToString(c.bytes);
  }
}

}  // namespace
