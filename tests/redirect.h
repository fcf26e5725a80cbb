// Test helper: runs dialogue code against strings instead of the console.
#ifndef TESTS_REDIRECT_H_
#define TESTS_REDIRECT_H_

#include <iostream>
#include <sstream>
#include <string>

/// While alive, std::cin reads `input` and std::cout and std::cerr write into strings.
struct Redirect {
  explicit Redirect(const std::string& input) : in(input) {
    oldIn = std::cin.rdbuf(in.rdbuf());
    oldOut = std::cout.rdbuf(out.rdbuf());
    oldErr = std::cerr.rdbuf(err.rdbuf());
    std::cin.clear();
  }
  ~Redirect() {
    std::cin.rdbuf(oldIn);
    std::cout.rdbuf(oldOut);
    std::cerr.rdbuf(oldErr);
    std::cin.clear();
  }
  Redirect(const Redirect&) = delete;
  Redirect& operator=(const Redirect&) = delete;

  std::istringstream in;
  std::ostringstream out;
  std::ostringstream err;
  std::streambuf* oldIn;
  std::streambuf* oldOut;
  std::streambuf* oldErr;
};

#endif  // TESTS_REDIRECT_H_
