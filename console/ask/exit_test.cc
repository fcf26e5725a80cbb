#include "console/ask/exit.h"

#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <string>
#include <system_error>

#include "tests/redirect.h"

namespace {

struct CaughtCase {
  const char* name;
  std::function<void()> raise;
  std::string input;  // read whole before the exception, so that the stream is at its end
  int status;
  std::string out;
  std::string err;
};

TEST(ExitStatusOfCaught, EveryExceptionEndsWithADocumentedStatusAndMessage) {
  const CaughtCase cases[] = {
      {"exit", [] { throw console::ProgramExit{1}; }, "", 1, "", ""},
      {"allocation", [] { throw std::bad_alloc(); }, "", 3, "", "Nedostatochno pamyati\n"},
      {"thread",
       [] {
         throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
       },
       "", 3, "", "Nedostatochno pamyati\n"},
      {"stream at end", [] { throw std::ios_base::failure("end"); }, "x", 2, "\n", "Konec vvoda\n"},
  };
  for (const CaughtCase& c : cases) {
    Redirect console(c.input);
    std::string rest;
    std::cin >> rest >> rest;
    int status = -1;
    try {
      c.raise();
    } catch (...) {
      status = console::exitStatusOfCaught();
    }
    EXPECT_EQ(c.status, status) << c.name;
    EXPECT_EQ(c.out, console.out.str()) << c.name;
    EXPECT_EQ(c.err, console.err.str()) << c.name;
  }
}

}  // namespace
