#include "console/line_text.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

std::wstring readAll(std::string_view bytes) {
  console::Utf8Reader reader;
  std::wstring chars;
  for (char byte : bytes) console::readUtf8Byte(&reader, static_cast<unsigned char>(byte), &chars);
  console::finishUtf8(&reader, &chars);
  return chars;
}

std::string bytesOf(const std::wstring& chars) {
  std::string bytes;
  for (wchar_t c : chars) {
    console::appendBytes(c, &bytes);
  }
  return bytes;
}

}  // namespace

TEST(LineText, ReadsUtf8CharactersWhole) {
  const struct {
    std::string bytes;
    std::wstring chars;
  } cases[] = {
      {"1.1", L"1.1"},
      {"20\xD1\x8F"
       "11",
       L"20\u044F11"},  // a Cyrillic letter is one character
      {"\xE2\x82\xAC", L"\u20AC"},
      {"\xF0\x9F\x98\x80", L"\U0001F600"},
      {"\xF4\x8F\xBF\xBF", L"\U0010FFFF"},
      {"\x7F", L"\x7F"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.chars, readAll(c.bytes)) << c.bytes;
    for (wchar_t ch : c.chars) {
      std::string one;
      console::appendBytes(ch, &one);
      EXPECT_EQ(one.size(), console::byteLength(ch));
    }
  }
}

TEST(LineText, KeepsEveryByteThatIsNoUtf8AsACharacterOfItsOwn) {
  // A lone lead byte, a stray continuation byte, an overlong form, surrogates (U+DC80 among them,
  // which stands for a byte here), a code point past U+10FFFF, bytes that never occur in UTF-8,
  // and characters cut short by another byte.
  for (std::string bytes : {"\xD1", "\x8F", "\xC0\xAF", "\xED\xA0\x80", "\xED\xB2\x80",
                            "\xF4\x90\x80\x80", "\xFF\xFE", "\xE2\x82\x31", "\xD1\xD1\x8F"}) {
    const std::wstring chars = readAll(bytes);
    EXPECT_EQ(bytes, bytesOf(chars));
    EXPECT_GE(chars.size(), 1u);
  }
  EXPECT_EQ(2u, readAll("\xD1\xD1\x8F").size());  // the lone lead, then the letter
}

TEST(LineText, AnyBytesComeBackAsTyped) {
  std::mt19937 random(7);
  std::uniform_int_distribution<int> byte(0, 255);
  for (int run = 0; run < 2000; ++run) {
    std::string bytes(static_cast<size_t>(run % 13), '\0');
    for (char& b : bytes) b = static_cast<char>(byte(random));
    const std::wstring chars = readAll(bytes);
    EXPECT_EQ(bytes, bytesOf(chars));
    size_t length = 0;
    for (wchar_t c : chars) length += console::byteLength(c);
    EXPECT_EQ(bytes.size(), length);
  }
}

TEST(LineText, TellsTheCharactersThatGoIntoTheLine) {
  const struct {
    std::wstring keys;
    std::vector<bool> inserted;
  } cases[] = {
      {L"a\u044F ~", {true, true, true, true}},
      {L"\x1b[D\x1b[3~x", {false, false, false, false, false, false, false, true}},
      {L"\x1bOHx", {false, false, false, true}},
      {L"\x1b"
       L"bx",
       {false, false, true}},  // Alt-B moves a word back
      {L"\x16\x01\x01", {false, true, false}},
      {L"\x16\x1b[", {false, true, true}},
      {L"\x7f\n\r\x04", {false, false, false, false}},
  };
  for (const auto& c : cases) {
    console::KeyScan scan;
    std::vector<bool> inserted;
    for (wchar_t key : c.keys) inserted.push_back(console::insertsCharacter(&scan, key));
    EXPECT_EQ(c.inserted, inserted);
  }
}
