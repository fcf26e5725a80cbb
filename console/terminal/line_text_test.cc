#include "console/terminal/line_text.h"

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
      // Every boundary of the encoding's lengths, on both sides.
      {"\x7F", L"\x7F"},
      {"\xC2\x80", L"\u0080"},
      {"\xDF\xBF", L"\u07FF"},
      {"\xE0\xA0\x80", L"\u0800"},
      {"\xEF\xBF\xBF", L"\uFFFF"},
      {"\xF0\x90\x80\x80", L"\U00010000"},
      {"\xF4\x8F\xBF\xBF", L"\U0010FFFF"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.chars, readAll(c.bytes)) << c.bytes;
    EXPECT_EQ(c.bytes, bytesOf(c.chars));
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

// Keys are taken whole: what a key does is known only once its last character has come, so no
// tail of an escape sequence ever goes into the line.
TEST(LineText, TakesWholeKeysAndTellsWhatEachDoes) {
  using console::KeyUse;
  const struct {
    std::wstring typed;
    std::vector<std::wstring> keys;
    std::vector<KeyUse> uses;
  } cases[] = {
      {L"a\u044F \t",
       {L"a", L"\u044F", L" ", L"\t"},
       {KeyUse::insert, KeyUse::insert, KeyUse::insert, KeyUse::insert}},
      {L"\x1b[D\x1b[3~x",
       {L"\x1b[D", L"\x1b[3~", L"x"},
       {KeyUse::edit, KeyUse::edit, KeyUse::insert}},
      {L"\x1b[1;5D\x1b[1;5C\x1bOd\x1b[5C",
       {L"\x1b[1;5D", L"\x1b[1;5C", L"\x1bOd", L"\x1b[5C"},
       {KeyUse::edit, KeyUse::edit, KeyUse::edit, KeyUse::edit}},  // Ctrl-Left and Ctrl-Right
      {L"\x1b[H\x1bOF\x1b[1~\x1b[8~",
       {L"\x1b[H", L"\x1bOF", L"\x1b[1~", L"\x1b[8~"},
       {KeyUse::edit, KeyUse::edit, KeyUse::edit, KeyUse::edit}},  // Home and End
      // Ctrl-Up, Ctrl-Home, Shift-Left, Alt-Left, Ctrl-Delete, F12, F5, Insert, PgUp, PgDn, F1
      {L"\x1b[1;5A\x1b[1;5H\x1b[1;2D\x1b[1;3D\x1b[3;5~\x1b[24~\x1b[15~\x1b[2~\x1b[5~\x1b[6~\x1bOP",
       {L"\x1b[1;5A", L"\x1b[1;5H", L"\x1b[1;2D", L"\x1b[1;3D", L"\x1b[3;5~", L"\x1b[24~",
        L"\x1b[15~", L"\x1b[2~", L"\x1b[5~", L"\x1b[6~", L"\x1bOP"},
       std::vector<KeyUse>(11, KeyUse::dropWithBell)},
      {L"\x1b[[A\x1b[[E",
       {L"\x1b[[A", L"\x1b[[E"},  // the Linux console's F1 and F5
       {KeyUse::dropWithBell, KeyUse::dropWithBell}},
      {L"\x1b\x1b[D\x1b[2 q",
       {L"\x1b\x1b[D", L"\x1b[2 q"},  // rxvt's Alt-Left, an intermediate
       {KeyUse::dropWithBell, KeyUse::dropWithBell}},
      {L"\x1b"
       L"b\x1b\u044F\x1b\x1b\x1b",
       {L"\x1b"
        L"b",
        L"\x1b\u044F", L"\x1b\x1b\x1b"},
       {KeyUse::edit, KeyUse::dropWithBell, KeyUse::dropWithBell}},  // Alt with a key
      {L"\x1b\r\x1b\x1b\n",
       {L"\x1b", L"\r", L"\x1b\x1b", L"\n"},  // Escape, then Enter
       {KeyUse::dropWithBell, KeyUse::edit, KeyUse::dropWithBell, KeyUse::edit}},
      {L"\x1b[1\r\x1bO\u044F",
       {L"\x1b[1", L"\r", L"\x1bO", L"\u044F"},  // broken off
       {KeyUse::dropWithBell, KeyUse::edit, KeyUse::dropWithBell, KeyUse::insert}},
      {std::wstring(L"\0\x16\x1b[D\x7f\n\x04", 8),
       {std::wstring(1, L'\0'), L"\x16", L"\x1b[D", L"\x7f", L"\n",
        L"\x04"},  // Ctrl-Space and Ctrl-V quote nothing
       {KeyUse::drop, KeyUse::drop, KeyUse::edit, KeyUse::edit, KeyUse::edit, KeyUse::edit}},
      {L"\x1b[" + std::wstring(40, L'1') + L"~x",
       {L"\x1b[" + std::wstring(14, L'1'), L"x"},
       {KeyUse::dropWithBell, KeyUse::insert}},
  };
  for (const auto& c : cases) {
    console::KeyScan scan;
    std::vector<std::wstring> keys;
    for (wchar_t typed : c.typed) console::scanKey(&scan, typed, &keys);
    EXPECT_EQ(c.keys, keys);
    std::vector<KeyUse> uses;
    for (const std::wstring& key : keys) uses.push_back(console::keyUse(key));
    EXPECT_EQ(c.uses, uses);
  }
}

// Where the key wait's key ends in what arrived at once: the bytes after it stay for the next
// reader.
TEST(LineText, ReadsOneKeyByteByByte) {
  const struct {
    std::string bytes;
    size_t keyLength;
  } cases[] = {
      {"kx", 1},
      {"\x03x", 1},
      {"\x1b[Ax", 3},
      {"\x1bOPx", 3},
      {"\x1b[1;5Cx", 6},
      {"\x1b[200~x", 6},
      {"\x1bxy", 2},
      {"\x1b\x1b[Dx", 4},
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
      {"\x1b[111111111111111111", 20},  // all that arrived: the key never ended
  };
  for (const auto& c : cases) {
    console::KeyReader key;
    size_t length = 0;
    while (length < c.bytes.size() &&
           !console::readKeyByte(&key, static_cast<unsigned char>(c.bytes[length++]))) {
    }
    EXPECT_EQ(c.keyLength, length) << testing::PrintToString(c.bytes);
  }
}

TEST(LineText, ShowsAControlCharacterInTwoColumns) {
  for (wchar_t c : {L'\0', L'\x1b', L'\x1f', L'\x7f'}) EXPECT_EQ(2u, console::shownWidth(c));
  EXPECT_EQ(1u, console::shownWidth(L'a'));
}
