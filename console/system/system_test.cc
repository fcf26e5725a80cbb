#include "console/system/system.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>

namespace {

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

// The kernel's files read for the memory bound are a few kilobytes; one of more than 64 KiB is
// refused rather than read to its end.
TEST(ReadSystemFile, ReadsAWholeFileOfAtMost64KiB) {
  const std::string path = testing::TempDir() + "system_test_file";
  for (const size_t size : {size_t{0}, size_t{5000}, size_t{65536}, size_t{65537}}) {
    const std::string text(size, 'x');
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
    const std::optional<std::string> read = console::readSystemFile(path);
    if (size <= 65536) {
      EXPECT_EQ(text, read.value_or("unread")) << size;
    } else {
      EXPECT_EQ(std::nullopt, read) << size;
    }
  }
  std::remove(path.c_str());
  EXPECT_EQ(std::nullopt, console::readSystemFile(path));
}

// A directory opens but every read of it fails: the reader gives up instead of trying again
// for ever. The child has ten seconds.
TEST(ReadSystemFileDeathTest, GivesUpOnAReadErrorThatPersists) {
  EXPECT_EXIT(
      {
        ::alarm(10);
        std::_Exit(console::readSystemFile(testing::TempDir()) ? 1 : 0);
      },
      testing::ExitedWithCode(0), "");
}

}  // namespace
