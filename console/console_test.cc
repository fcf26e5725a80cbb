#include "console/console.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <ext/stdio_filebuf.h>
#include <fstream>
#include <istream>
#include <sstream>
#include <string>
#include <vector>

#include "console/key.h"

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

struct ArgumentsCase {
  std::vector<const char*> arguments;
  console::ArgumentsAction action;
  const char* offending;
};

TEST(ParseArguments, HelpVersionOrTheFirstUnknownArgument) {
  using console::ArgumentsAction;
  const ArgumentsCase cases[] = {
      {{}, ArgumentsAction::runDialogue, nullptr},
      {{"--help"}, ArgumentsAction::showHelp, nullptr},
      {{"--version", "--help"}, ArgumentsAction::showVersion, nullptr},
      {{"--help", "-x", "y"}, ArgumentsAction::unrecognized, "-x"},
      {{"-h"}, ArgumentsAction::unrecognized, "-h"},
      {{"--help=1"}, ArgumentsAction::unrecognized, "--help=1"},
      {{""}, ArgumentsAction::unrecognized, ""},
  };
  for (const ArgumentsCase& c : cases) {
    std::vector<char*> argv{const_cast<char*>("program")};
    for (const char* argument : c.arguments) argv.push_back(const_cast<char*>(argument));
    const char* offending = nullptr;
    EXPECT_EQ(c.action,
              console::parseArguments(static_cast<int>(argv.size()), argv.data(), &offending));
    EXPECT_STREQ(c.offending, offending);
  }
}

TEST(CurrentTime, IsTheSystemClockInSeconds) {
  using std::chrono::duration_cast;
  using std::chrono::seconds;
  using std::chrono::system_clock;
  int64_t before = duration_cast<seconds>(system_clock::now().time_since_epoch()).count();
  int64_t now = console::currentTime();
  int64_t after = duration_cast<seconds>(system_clock::now().time_since_epoch()).count();
  EXPECT_LE(before, now);
  EXPECT_LE(now, after);
}

TEST(PhysicalMemory, IsTheTotalTheKernelReports) {
  std::ifstream meminfo("/proc/meminfo");
  std::string name;
  uint64_t kib = 0;
  ASSERT_TRUE(meminfo >> name >> kib);
  ASSERT_EQ("MemTotal:", name);
  EXPECT_EQ(kib * 1024, console::physicalMemory());
}

}  // namespace
