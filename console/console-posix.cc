#include "console/console.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <iostream>
#include <string_view>

namespace console {
namespace {

// Per-stream flag: true while the line of the last word read is not yet consumed.
int lineOpenIndex() {
  static const int index = std::ios_base::xalloc();
  return index;
}

void writeAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return;  // Nothing sensible to do when the terminal is gone.
    }
    bytes.remove_prefix(static_cast<size_t>(written));
  }
}

}  // namespace

void init() {
  // Detached streams keep their own buffers, whose fill in_avail() can see; tying std::cerr
  // (and std::cin) to std::cout keeps the prompt order exact.
  std::ios_base::sync_with_stdio(false);
  std::cin.tie(&std::cout);
  std::cerr.tie(&std::cout);
}

bool readWord(std::istream& in, std::string& word) {
  if (!(in >> word)) return false;
  in.iword(lineOpenIndex()) = 1;
  return true;
}

bool readLine(std::istream& in, std::string& line) {
  in.iword(lineOpenIndex()) = 0;
  return static_cast<bool>(std::getline(in, line));
}

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

void clearScreen() {
  std::cout.flush();
  if (::isatty(STDOUT_FILENO)) writeAll(STDOUT_FILENO, "\x1b[H\x1b[2J\x1b[3J");
}

void exitAtEndOfInput() {
  std::cout << '\n' << std::flush;
  std::cerr << "Konec vvoda" << std::endl;
  std::exit(2);
}

}  // namespace console
