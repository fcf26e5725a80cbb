#include "console/ask/input.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <ext/stdio_filebuf.h>
#include <fstream>
#include <istream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

bool readLine(std::istream& in, std::string& line) {
  line.clear();
  return console::readLineChars(in, [&line](char c) { line.push_back(c); });
}

std::string rest(std::istream& in) {
  std::string text;
  std::getline(in, text, '\0');
  return text;
}

struct DiscardCase {
  const char* input;
  const char* rest;
};

TEST(DiscardPendingInput, DropsTheRestOfTheLineOfTheLastWord) {
  const DiscardCase cases[] = {
      {"4\n6\n", "6\n"},
      {"2 5\nnext\n", "next\n"},
      {"  4 4  \n\n6\n", "\n6\n"},
      {"4", ""},
      {"4 tail", ""},
      {"4\n", ""},
  };
  for (const DiscardCase& c : cases) {
    std::istringstream in(c.input);
    std::string word;
    ASSERT_TRUE(console::readWord(in, word)) << c.input;
    in.clear();
    console::discardPendingInput(in);
    EXPECT_EQ(c.rest, rest(in)) << c.input;
  }
}

TEST(DiscardPendingInput, DropsNothingAfterAWholeLineOrBeforeAnyRead) {
  std::istringstream in("01.01.2011\n4 x\n6\n");
  console::discardPendingInput(in);
  std::string text;
  ASSERT_TRUE(readLine(in, text));
  EXPECT_EQ("01.01.2011", text);
  console::discardPendingInput(in);
  ASSERT_TRUE(console::readWord(in, text));
  EXPECT_EQ("4", text);
  console::discardPendingInput(in);
  console::discardPendingInput(in);  // the second call finds the line already closed
  EXPECT_EQ("6\n", rest(in));
}

TEST(ReadWord, KeepsAtMostTheCharactersAskedForAndReadsTheWholeWord) {
  std::istringstream in("  123456 7\n");
  std::string word;
  ASSERT_TRUE(console::readWord(in, word, 2));
  EXPECT_EQ("12", word);
  EXPECT_EQ(" 7\n", rest(in));
  std::istringstream last("xyz");
  ASSERT_TRUE(console::readWord(last, word, 5));
  EXPECT_EQ("xyz", word);
  EXPECT_TRUE(last.eof());
}

struct LineCase {
  const char* input;
  const char* line;
};

// A carriage return belongs to the line end only right before it.
TEST(ReadLineChars, TakesCrLfAsALineEnd) {
  const LineCase cases[] = {
      {"1.1.2000\r\nnext", "1.1.2000"},
      {"a\r\r\n", "a\r"},
      {"a\rb\n", "a\rb"},
      {"\r\n", ""},
      {"a\r", "a\r"},
      {"\r", "\r"},
  };
  for (const LineCase& c : cases) {
    std::istringstream in(c.input);
    std::string line;
    ASSERT_TRUE(readLine(in, line)) << c.input;
    EXPECT_EQ(c.line, line) << c.input;
  }
}

// A directory cannot be read: each read reports it as a bad stream, never as input or as its
// end.
TEST(ReadError, MarksTheStreamBadAndEndsTheRead) {
  const int directory = open("/", O_RDONLY);
  ASSERT_LE(0, directory);
  __gnu_cxx::stdio_filebuf<char> buf(directory, std::ios_base::in);
  std::string text;
  std::istream word(&buf);
  EXPECT_FALSE(console::readWord(word, text));
  EXPECT_TRUE(word.bad());
  std::istream line(&buf);
  EXPECT_FALSE(readLine(line, text));
  EXPECT_TRUE(line.bad());
  std::istream key(&buf);
  EXPECT_FALSE(console::waitForCharacter(key));
  EXPECT_TRUE(key.bad());
}

// Input that fails after its text, as a file does whose read fails midway.
struct FailingAfter : std::streambuf {
  explicit FailingAfter(std::string input) : text(std::move(input)) {
    setg(this->text.data(), this->text.data(), this->text.data() + this->text.size());
  }
  int_type underflow() override { throw std::ios_base::failure("read error"); }
  std::string text;
};

// A read that fails in the middle of a word, a line or a number hands over nothing of it.
TEST(ReadError, MidwayHandsOverNothing) {
  FailingAfter wordInput(" 12");
  std::istream word(&wordInput);
  std::string text;
  EXPECT_FALSE(console::readWord(word, text));
  EXPECT_TRUE(word.bad());
  FailingAfter lineInput("12\r");
  std::istream line(&lineInput);
  EXPECT_FALSE(readLine(line, text));
  EXPECT_TRUE(line.bad());
  FailingAfter numberInput(" 12");
  std::istream number(&numberInput);
  double value = 42.0;
  console::extractDouble(number, value);
  EXPECT_TRUE(number.bad());
  EXPECT_EQ(42.0, value);
}

// Once a write has failed nothing more is read: the answer to an unseen prompt stays unread.
TEST(ReadWordAndLine, ReadNothingAfterAFailedWrite) {
  std::ostream broken(nullptr);
  std::istringstream in("4\n");
  in.tie(&broken);
  std::string text;
  EXPECT_FALSE(console::readWord(in, text));
  EXPECT_FALSE(readLine(in, text));
  EXPECT_EQ("4\n", rest(in));
}

TEST(ReadWordAndLine, ReportEndOfInput) {
  std::istringstream blanks(" \n\n  ");
  std::string text;
  EXPECT_FALSE(console::readWord(blanks, text));
  std::istringstream empty("");
  EXPECT_FALSE(readLine(empty, text));
  std::istringstream unterminated("last");
  EXPECT_TRUE(readLine(unterminated, text));
  EXPECT_EQ("last", text);
  EXPECT_FALSE(readLine(unterminated, text));
}

// On a real descriptor only what has arrived is dropped: a line end still to come is not
// waited for, and input that arrives later is kept.
TEST(DiscardRestOfLine, NeverWaitsOnAPipe) {
  int fds[2];
  ASSERT_EQ(0, pipe(fds));
  __gnu_cxx::stdio_filebuf<char> buf(fds[0], std::ios_base::in);
  std::istream in(&buf);
  ASSERT_EQ(7, write(fds[1], "4 x y z", 7));
  std::string word;
  ASSERT_TRUE(console::readWord(in, word));
  console::discardPendingInput(in);  // would hang if it waited for the line end
  ASSERT_EQ(5, write(fds[1], "\n6\n7\n", 5));
  close(fds[1]);
  EXPECT_EQ("\n6\n7\n", rest(in));
}

struct WaitCase {
  const char* input;
  const char* rest;
};

// The rest of the current line goes, then exactly one character.
TEST(WaitForCharacter, DropsTheRestOfTheLineThenReadsOneCharacter) {
  const WaitCase cases[] = {
      {"\nq\nnext\n", "\nnext\n"}, {" 7 8\nab", "b"}, {"\n\n\n", "\n"}, {"\nx", ""}, {"", ""},
      {"tail only", ""},
  };
  for (const WaitCase& c : cases) {
    std::istringstream in(c.input);
    console::waitForCharacter(in);
    EXPECT_EQ(c.rest, rest(in)) << c.input;
  }
}

TEST(WaitForCharacter, EndOfInputThrowsNothingAndLeavesTheStateAlone) {
  std::istringstream in("5");
  in.exceptions(std::ios_base::failbit);
  int n = 0;
  in >> n;
  ASSERT_TRUE(in.eof());
  EXPECT_NO_THROW(console::waitForCharacter(in));
  EXPECT_FALSE(in.fail());
  std::istringstream empty("");
  empty.exceptions(std::ios_base::failbit);
  EXPECT_NO_THROW(console::waitForCharacter(empty));
  EXPECT_TRUE(empty.good());
}

// On a pipe the key is the first character after the line of the count; what follows stays.
TEST(WaitForCharacter, TakesTheCharacterAfterTheLineOnAPipe) {
  int fds[2];
  ASSERT_EQ(0, pipe(fds));
  __gnu_cxx::stdio_filebuf<char> buf(fds[0], std::ios_base::in);
  std::istream in(&buf);
  ASSERT_EQ(3, write(fds[1], "3 \n", 3));
  int n = 0;
  in >> n;
  ASSERT_EQ(3, n);
  ASSERT_EQ(3, write(fds[1], "kXY", 3));
  close(fds[1]);
  console::waitForCharacter(in);
  EXPECT_EQ("XY", rest(in));
}

}  // namespace
