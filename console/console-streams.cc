// The console services that work on the standard streams alone, the same on every platform.
#include "console/console.h"

#include <iostream>
#include <locale>

namespace console {
namespace {

// Per-stream flag: true while the line of the last word read is not yet consumed.
int lineOpenIndex() {
  static const int index = std::ios_base::xalloc();
  return index;
}

}  // namespace

void init() {
  // Detached streams keep their own buffers, whose fill in_avail() can see; tying std::cerr
  // (and std::cin) to std::cout keeps the prompt order exact.
  std::ios_base::sync_with_stdio(false);
  std::cin.tie(&std::cout);
  std::cerr.tie(&std::cout);
}

bool readWord(std::istream& in, std::string& word, size_t maxKept) {
  word.clear();
  const std::istream::sentry ok(in);  // skips blanks and line ends; fails at end of input
  if (!ok) return false;
  const auto& ctype = std::use_facet<std::ctype<char>>(in.getloc());
  std::streambuf* buf = in.rdbuf();
  for (int c = buf->sgetc();; c = buf->snextc()) {
    if (c == std::char_traits<char>::eof()) {
      in.setstate(std::ios_base::eofbit);
      break;
    }
    if (ctype.is(std::ctype_base::space, static_cast<char>(c))) break;
    if (word.size() < maxKept) word.push_back(static_cast<char>(c));
  }
  in.iword(lineOpenIndex()) = 1;
  return true;
}

void markLineEnded(std::istream& in) { in.iword(lineOpenIndex()) = 0; }

void discardPendingInput(std::istream& in) {
  long& lineOpen = in.iword(lineOpenIndex());
  if (lineOpen == 0) return;
  discardRestOfLine(in);
  lineOpen = 0;
}

void discardRestOfLine(std::istream& in) {
  std::streambuf* buf = in.rdbuf();
  // in_avail() counts what is buffered and, for a file descriptor, what the kernel holds:
  // a terminal in line mode reports only completed lines. Zero means reading would wait.
  while (buf->in_avail() > 0) {
    if (buf->sbumpc() == '\n') return;
  }
}

void waitForCharacter(std::istream& in) {
  discardRestOfLine(in);
  // Through the buffer, so that the end of input sets no state bit and throws nothing.
  in.rdbuf()->sbumpc();
}

void exitAtEndOfInput() {
  std::cout << '\n' << std::flush;
  std::cerr << "Konec vvoda" << std::endl;
  exitProgram(2);
}

}  // namespace console
