#include "console/system.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <fstream>
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

}  // namespace
