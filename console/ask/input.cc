#include "console/ask/input.h"

#include <iostream>
#include <locale>
#include <string>

#include "console/ask/number_text.h"
#include "console/terminal/line_editor.h"

namespace console {
namespace {

// Per-stream flag: true while the line of the last word read is not yet consumed.
int lineOpenIndex() {
  static const int index = std::ios_base::xalloc();
  return index;
}

// A file buffer reports a failing read by throwing; the stream is then marked bad, as its own
// extractions do, and the caller sees the end of what could be read.
template <typename Read>
int guardRead(std::istream& in, Read read) {
  try {
    return read();
  } catch (...) {
    in.setstate(std::ios_base::badbit);
    return std::char_traits<char>::eof();
  }
}

// Drops input up to and including the next line end, but only what has already arrived: stops
// without waiting when nothing more is available.
void discardRestOfLine(std::istream& in) {
  std::streambuf* buf = in.rdbuf();
  // in_avail() counts what is buffered and, for a file descriptor, what the kernel holds:
  // a terminal in line mode reports only completed lines. Zero means reading would wait.
  while (guardRead(in, [buf] { return static_cast<int>(buf->in_avail() > 0); }) > 0) {
    if (takeChar(in) == '\n') return;
  }
}

}  // namespace

void init() {
  // Detached streams keep their own buffers, whose fill in_avail() can see; tying std::cerr
  // (and std::cin) to std::cout keeps the prompt order exact.
  std::ios_base::sync_with_stdio(false);
  std::cin.tie(&std::cout);
  std::cerr.tie(&std::cout);
  startLineEditing();
}

bool flushTiedOutput(std::istream& in) {
  if (editsLines(in)) return flushBeforeEditedRead();
  std::ostream* out = in.tie();
  return out == nullptr || !out->flush().fail();
}

int takeChar(std::istream& in) {
  return guardRead(in, [&in] { return in.rdbuf()->sbumpc(); });
}

bool readWord(std::istream& in, std::string& word, size_t maxKept) {
  word.clear();
  if (!flushTiedOutput(in)) return false;
  const std::istream::sentry ok(in);  // skips blanks and line ends; fails at end of input
  if (!ok) return false;
  const auto& ctype = std::use_facet<std::ctype<char>>(in.getloc());
  std::streambuf* buf = in.rdbuf();
  for (int c = guardRead(in, [buf] { return buf->sgetc(); });;
       c = guardRead(in, [buf] { return buf->snextc(); })) {
    if (c == std::char_traits<char>::eof()) {
      if (in.bad()) return false;
      in.setstate(std::ios_base::eofbit);
      break;
    }
    if (ctype.is(std::ctype_base::space, static_cast<char>(c))) break;
    if (word.size() < maxKept) word.push_back(static_cast<char>(c));
  }
  in.iword(lineOpenIndex()) = 1;
  return true;
}

void extractDouble(std::istream& in, double& value) {
  const std::istream::sentry ok(in);  // skips blanks; sets the state at end of input
  if (!ok) return;
  NumberText number;
  std::ios_base::iostate state = std::ios_base::goodbit;
  std::streambuf* buf = in.rdbuf();
  for (int c = guardRead(in, [buf] { return buf->sgetc(); });;
       c = guardRead(in, [buf] { return buf->snextc(); })) {
    if (c == std::char_traits<char>::eof()) {
      if (in.bad()) return;
      state |= std::ios_base::eofbit;
      break;
    }
    if (!takeNumberChar(number, static_cast<char>(c))) break;
  }
  const NumberValue converted = numberValue(number);
  value = converted.value;
  if (!converted.ok) state |= std::ios_base::failbit;
  in.setstate(state);
}

void markLineEnded(std::istream& in) { in.iword(lineOpenIndex()) = 0; }

void discardPendingInput(std::istream& in) {
  long& lineOpen = in.iword(lineOpenIndex());
  if (lineOpen == 0) return;
  discardRestOfLine(in);
  lineOpen = 0;
}

bool waitForCharacter(std::istream& in) {
  discardRestOfLine(in);
  // Through the buffer, so that the end of input sets no state bit and throws nothing.
  takeChar(in);
  return !in.bad();
}

}  // namespace console
