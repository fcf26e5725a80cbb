#include "console/memory_limits.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr uint64_t kKiB = 1024;
constexpr uint64_t kMiB = 1024 * kKiB;
constexpr uint64_t kGiB = 1024 * kMiB;

// The start of a /proc/meminfo of a 24 GiB machine: 20 GiB available, 1 GiB of free swap.
const char* const kMeminfo =
    "MemTotal:       25165824 kB\n"
    "MemFree:         3145728 kB\n"
    "MemAvailable:   20971520 kB\n"
    "Buffers:           31048 kB\n"
    "SwapCached:            0 kB\n"
    "SwapTotal:       2097152 kB\n"
    "SwapFree:        1048576 kB\n";

TEST(MeminfoBytes, ReadsTheNamedLineInKibibytes) {
  struct Case {
    const char* text;
    const char* name;
    std::optional<uint64_t> bytes;
  };
  const Case cases[] = {
      {kMeminfo, "MemTotal", 24 * kGiB},
      {kMeminfo, "MemAvailable", 20 * kGiB},
      {kMeminfo, "SwapFree", 1 * kGiB},
      {kMeminfo, "SwapCached", 0},
      {kMeminfo, "Mem", std::nullopt},  // a prefix of a name is not the name
      {kMeminfo, "Cached", std::nullopt},
      {"MemAvailable: 7 kB", "MemAvailable", 7 * kKiB},  // the last line, no line end
      {"MemAvailable:\t7 kB\n", "MemAvailable", std::nullopt},
      {"MemAvailable:   7\n", "MemAvailable", std::nullopt},
      {"MemAvailable:   7 MB\n", "MemAvailable", std::nullopt},
      {"MemAvailable:   kB\n", "MemAvailable", std::nullopt},
      {"MemAvailable:   -7 kB\n", "MemAvailable", std::nullopt},
      {"MemAvailable:   18014398509481983 kB\n", "MemAvailable", UINT64_MAX - 1023},
      {"MemAvailable:   18014398509481984 kB\n", "MemAvailable", std::nullopt},
      {"MemAvailable:   99999999999999999999 kB\n", "MemAvailable", std::nullopt},
      {"", "MemAvailable", std::nullopt},
  };
  for (const Case& row : cases) {
    EXPECT_EQ(row.bytes, console::meminfoBytes(row.text, row.name)) << row.text << row.name;
  }
}

TEST(AvailableMemory, IsMemAvailablePlusSwapFree) {
  EXPECT_EQ(21 * kGiB, console::availableMemory(kMeminfo));
  EXPECT_EQ(5 * kKiB, console::availableMemory("MemAvailable: 5 kB\n"));
  EXPECT_EQ(std::nullopt, console::availableMemory("MemTotal: 5 kB\nSwapFree: 1 kB\n"));
  EXPECT_EQ(UINT64_MAX, console::availableMemory("MemAvailable: 18014398509481983 kB\n"
                                                 "SwapFree: 18014398509481983 kB\n"));
}

TEST(CgroupPaths, FindsTheUnifiedAndTheMemoryHierarchies) {
  struct Case {
    const char* selfCgroup;
    const char* unified;
    const char* memory;
  };
  const Case cases[] = {
      {"0::/user.slice/user-1000.slice/session-2.scope\n",
       "/user.slice/user-1000.slice/session-2.scope", ""},
      {"0::/\n", "/", ""},
      {"12:pids:/a\n4:memory:/docker/f00d\n1:name=systemd:/b\n0::/c\n", "/c", "/docker/f00d"},
      {"3:cpu,memory:/both\n", "", "/both"},
      {"3:memory,cpu:/both\n", "", "/both"},
      {"3:cpu,memoryx:/no\n5:xmemory:/no\n", "", ""},
      {"0::/with:colon\n", "/with:colon", ""},
      {"1:name=systemd:/\n", "", ""},
      {"0:/no-second-colon\n", "", ""},
      {"", "", ""},
  };
  for (const Case& row : cases) {
    const console::CgroupPaths paths = console::cgroupPaths(row.selfCgroup);
    EXPECT_EQ(row.unified, paths.unified) << row.selfCgroup;
    EXPECT_EQ(row.memory, paths.memory) << row.selfCgroup;
  }
}

TEST(CgroupBytes, ReadsBytesAndNotMax) {
  EXPECT_EQ(268435456u, console::cgroupBytes("268435456\n"));
  EXPECT_EQ(0u, console::cgroupBytes("0"));
  EXPECT_EQ(9223372036854771712u, console::cgroupBytes("9223372036854771712\n"));
  EXPECT_EQ(std::nullopt, console::cgroupBytes("max\n"));
  EXPECT_EQ(std::nullopt, console::cgroupBytes(""));
  EXPECT_EQ(std::nullopt, console::cgroupBytes("12 kB\n"));
  EXPECT_EQ(std::nullopt, console::cgroupBytes("12\n\n"));
  EXPECT_EQ(std::nullopt, console::cgroupBytes("18446744073709551616\n"));
}

TEST(CgroupFolders, GoUpTheTreeToTheRoot) {
  using Folders = std::vector<std::string>;
  EXPECT_EQ((Folders{"/m/a/b", "/m/a", "/m"}), console::cgroupFolders("/m", "/a/b"));
  EXPECT_EQ((Folders{"/m/a/b", "/m/a", "/m"}), console::cgroupFolders("/m", "/a/b/"));
  EXPECT_EQ((Folders{"/m"}), console::cgroupFolders("/m", "/"));
  EXPECT_EQ((Folders{}), console::cgroupFolders("/m", ""));
  EXPECT_EQ((Folders{}), console::cgroupFolders("/m", "a/b"));
}

// A machine of files held in a map: a path that is not there cannot be read.
console::ReadFile machine(std::map<std::string, std::string> files) {
  return [files = std::move(files)](const std::string& path) -> std::optional<std::string> {
    const auto found = files.find(path);
    if (found == files.end()) return std::nullopt;
    return found->second;
  };
}

using Files = std::map<std::string, std::string>;

TEST(BlockMemory, IsTheLeastOfEveryBoundThatApplies) {
  const std::string v2 = "/sys/fs/cgroup/";
  const std::string v1 = "/sys/fs/cgroup/memory/";
  const std::string inV2 = "0::/app/job\n";
  const std::string inV1 = "4:memory:/app/job\n0::/\n";
  struct Case {
    const char* what;
    Files files;
    uint64_t bytes;
  };
  const Case cases[] = {
      {"no file at all: the physical memory", {}, 64 * kGiB},
      {"available memory and free swap", {{"/proc/meminfo", kMeminfo}}, 21 * kGiB},
      {"meminfo without MemAvailable", {{"/proc/meminfo", "MemTotal: 8 kB\n"}}, 64 * kGiB},
      {"v2 limit less usage",
       {{"/proc/self/cgroup", inV2},
        {v2 + "app/job/memory.max", "268435456\n"},
        {v2 + "app/job/memory.current", "1048576\n"}},
       255 * kMiB},
      {"v2 limit at an ancestor",
       {{"/proc/self/cgroup", inV2},
        {v2 + "app/job/memory.max", "max\n"},
        {v2 + "app/job/memory.current", "0\n"},
        {v2 + "app/memory.max", "1073741824\n"},
        {v2 + "app/memory.current", "805306368\n"}},
       256 * kMiB},
      {"v2 limit at the namespace's root",
       {{"/proc/self/cgroup", "0::/\n"}, {v2 + "memory.max", "268435456\n"}},
       256 * kMiB},
      {"v2 usage past the limit",
       {{"/proc/self/cgroup", inV2},
        {v2 + "app/job/memory.max", "1000\n"},
        {v2 + "app/job/memory.current", "4096\n"}},
       0},
      {"v2 limit without usage",
       {{"/proc/self/cgroup", inV2}, {v2 + "app/job/memory.max", "268435456\n"}},
       256 * kMiB},
      {"v2 limit unreadable",
       {{"/proc/self/cgroup", inV2},
        {v2 + "app/job/memory.max", "garbage\n"},
        {v2 + "app/job/memory.current", "1\n"}},
       64 * kGiB},
      {"v2 files of another cgroup",
       {{"/proc/self/cgroup", inV2}, {v2 + "other/memory.max", "4096\n"}},
       64 * kGiB},
      {"no /proc/self/cgroup", {{v2 + "memory.max", "4096\n"}}, 64 * kGiB},
      {"v1 limit less usage",
       {{"/proc/self/cgroup", inV1},
        {v1 + "app/job/memory.limit_in_bytes", "536870912\n"},
        {v1 + "app/job/memory.usage_in_bytes", "268435456\n"}},
       256 * kMiB},
      {"v1 without a limit",
       {{"/proc/self/cgroup", inV1},
        {v1 + "app/job/memory.limit_in_bytes", "9223372036854771712\n"},
        {v1 + "app/job/memory.usage_in_bytes", "268435456\n"}},
       64 * kGiB},
      {"v1 limit at an ancestor",
       {{"/proc/self/cgroup", inV1}, {v1 + "app/memory.limit_in_bytes", "1048576\n"}},
       1 * kMiB},
      {"v1 and v2, the tighter",
       {{"/proc/self/cgroup", "4:memory:/a\n0::/b\n"},
        {v1 + "a/memory.limit_in_bytes", "3145728\n"},
        {v2 + "b/memory.max", "2097152\n"}},
       2 * kMiB},
      {"meminfo tighter than the cgroup",
       {{"/proc/meminfo", "MemAvailable: 1024 kB\n"},
        {"/proc/self/cgroup", "0::/\n"},
        {v2 + "memory.max", "2097152\n"}},
       1 * kMiB},
  };
  for (const Case& row : cases) {
    EXPECT_EQ(row.bytes, console::blockMemory(64 * kGiB, 0, machine(row.files))) << row.what;
  }
  // Physical memory below every other bound.
  EXPECT_EQ(kGiB, console::blockMemory(kGiB, 0, machine({{"/proc/meminfo", kMeminfo}})));
}

// A block that replaces one of 100 MiB may take those 100 MiB besides what is left, but never
// more than the physical memory.
TEST(BlockMemory, CountsTheReplacedBlockAsFree) {
  const console::ReadFile files = machine({{"/proc/meminfo", "MemAvailable: 10240 kB\n"},
                                           {"/proc/self/cgroup", "0::/\n"},
                                           {"/sys/fs/cgroup/memory.max", "268435456\n"},
                                           {"/sys/fs/cgroup/memory.current", "262144000\n"}});
  EXPECT_EQ(6 * kMiB, console::blockMemory(64 * kGiB, 0, files));
  EXPECT_EQ(106 * kMiB, console::blockMemory(64 * kGiB, 100 * kMiB, files));
  EXPECT_EQ(50 * kMiB, console::blockMemory(50 * kMiB, 100 * kMiB, files));
  EXPECT_EQ(UINT64_MAX, console::blockMemory(UINT64_MAX, UINT64_MAX, machine({})));
  EXPECT_EQ(UINT64_MAX,
            console::blockMemory(UINT64_MAX, UINT64_MAX, machine({{"/proc/meminfo", kMeminfo}})));
}

}  // namespace
