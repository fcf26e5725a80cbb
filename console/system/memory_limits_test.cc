#include "console/system/memory_limits.h"

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
      {"MemAvailable: 7 kB\nMemAvailable: 9 kB\n", "MemAvailable", 7 * kKiB},  // the first
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
      {"0:/no-second-colon\n4:memory:/m\n0::/u\n", "/u", "/m"},  // the lines after it count
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

// A v1 memory.stat as a cgroup that has read a large file shows it: the cgroup's own lines, then
// the totals of its subtree.
const char* const kV1Stat =
    "cache 843218944\n"
    "rss 17297408\n"
    "inactive_file 4096\n"
    "active_file 3309568\n"
    "hierarchical_memory_limit 1073741824\n"
    "total_cache 843218944\n"
    "total_inactive_file 838983680\n"
    "total_active_file 3309568\n";

// A v2 memory.stat: one set of names, the subtree counted in them.
const char* const kV2Stat =
    "anon 17297408\n"
    "file 843218944\n"
    "inactive_anon 17293312\n"
    "active_anon 4096\n"
    "inactive_file 838983680\n"
    "active_file 3309568\n";

TEST(MemoryStatBytes, ReadsTheNamedLine) {
  struct Case {
    const char* text;
    const char* name;
    std::optional<uint64_t> bytes;
  };
  const Case cases[] = {
      {kV1Stat, "total_inactive_file", 838983680},
      {kV1Stat, "inactive_file", 4096},  // not the total whose name ends the same
      {kV2Stat, "inactive_file", 838983680},
      {kV2Stat, "total_inactive_file", std::nullopt},  // v1's name in a v2 text
      {kV2Stat, "inactive", std::nullopt},             // a prefix of a name is not the name
      {"inactive_file 7", "inactive_file", 7},         // the last line, no line end
      {"inactive_file 7\ninactive_file 9\n", "inactive_file", 7},  // the first
      {"inactive_file max\n", "inactive_file", std::nullopt},
      {"inactive_file 12 kB\n", "inactive_file", std::nullopt},
      {"inactive_file -5\n", "inactive_file", std::nullopt},
      {"inactive_file\n", "inactive_file", std::nullopt},
      {"inactive_file  5\n", "inactive_file", std::nullopt},
      {"inactive_file\t5\n", "inactive_file", std::nullopt},
      {"inactive_file 18446744073709551616\n", "inactive_file", std::nullopt},
      {"\x01\xff garbage\n\n", "inactive_file", std::nullopt},
      {"", "inactive_file", std::nullopt},
  };
  for (const Case& row : cases) {
    EXPECT_EQ(row.bytes, console::memoryStatBytes(row.text, row.name)) << row.text << row.name;
  }
}

TEST(CgroupFolders, GoUpTheTreeToTheRoot) {
  using Folders = std::vector<std::string>;
  EXPECT_EQ((Folders{"/m/a/b", "/m/a", "/m"}), console::cgroupFolders("/m", "/a/b"));
  EXPECT_EQ((Folders{"/m/a/b", "/m/a", "/m"}), console::cgroupFolders("/m", "/a/b/"));
  EXPECT_EQ((Folders{"/m"}), console::cgroupFolders("/m", "/"));
  EXPECT_EQ((Folders{}), console::cgroupFolders("/m", ""));
  EXPECT_EQ((Folders{}), console::cgroupFolders("/m", "a/b"));
}

TEST(CgroupLimits, NameTheFilesOfEachLimitUpTheTree) {
  const std::vector<console::CgroupLimit> limits =
      console::cgroupLimits("4:memory:/docker/f00d\n0::/app\n");
  const std::string v2 = "/sys/fs/cgroup";
  const std::string v1 = "/sys/fs/cgroup/memory";
  ASSERT_EQ(7u, limits.size());
  const console::CgroupLimit expected[] = {
      {v2 + "/app/memory.max", v2 + "/app/memory.current", v2 + "/app/memory.stat",
       "inactive_file"},
      {v2 + "/app/memory.high", v2 + "/app/memory.current", v2 + "/app/memory.stat",
       "inactive_file"},
      {v2 + "/memory.max", v2 + "/memory.current", v2 + "/memory.stat", "inactive_file"},
      {v2 + "/memory.high", v2 + "/memory.current", v2 + "/memory.stat", "inactive_file"},
      {v1 + "/docker/f00d/memory.limit_in_bytes", v1 + "/docker/f00d/memory.usage_in_bytes",
       v1 + "/docker/f00d/memory.stat", "total_inactive_file"},
      {v1 + "/docker/memory.limit_in_bytes", v1 + "/docker/memory.usage_in_bytes",
       v1 + "/docker/memory.stat", "total_inactive_file"},
      {v1 + "/memory.limit_in_bytes", v1 + "/memory.usage_in_bytes", v1 + "/memory.stat",
       "total_inactive_file"},
  };
  for (size_t i = 0; i < limits.size(); ++i) {
    EXPECT_EQ(expected[i].limitFile, limits[i].limitFile) << i;
    EXPECT_EQ(expected[i].usageFile, limits[i].usageFile) << i;
    EXPECT_EQ(expected[i].statFile, limits[i].statFile) << i;
    EXPECT_EQ(expected[i].cacheName, limits[i].cacheName) << i;
  }
  EXPECT_TRUE(console::cgroupLimits("").empty());
}

using Files = std::map<std::string, std::string>;

// The bound over a machine of files held in a map, a path that is not there unreadable; the
// cgroups are found from its /proc/self/cgroup, as the program finds them once.
uint64_t judge(uint64_t physicalBytes, uint64_t heldBytes, const Files& files) {
  const auto selfCgroup = files.find("/proc/self/cgroup");
  const std::vector<console::CgroupLimit> limits =
      console::cgroupLimits(selfCgroup == files.end() ? "" : selfCgroup->second);
  const console::ReadFile readFile = [&files](const std::string& path) {
    const auto found = files.find(path);
    return found == files.end() ? std::nullopt : std::optional<std::string>(found->second);
  };
  return console::blockMemory(physicalBytes, heldBytes, limits, readFile);
}

// Every bound read from the files leaves kProcessMarginBytes (4 MiB) to the process itself.
TEST(BlockMemory, IsTheLeastOfEveryBoundThatApplies) {
  static_assert(console::kProcessMarginBytes == 4 * kMiB);
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
      {"available memory and free swap", {{"/proc/meminfo", kMeminfo}}, 21 * kGiB - 4 * kMiB},
      {"meminfo without MemAvailable", {{"/proc/meminfo", "MemTotal: 8 kB\n"}}, 64 * kGiB},
      {"v2 limit less usage",
       {{"/proc/self/cgroup", inV2},
        {v2 + "app/job/memory.max", "268435456\n"},
        {v2 + "app/job/memory.current", "1048576\n"}},
       251 * kMiB},
      {"v2 limit at an ancestor",
       {{"/proc/self/cgroup", inV2},
        {v2 + "app/job/memory.max", "max\n"},
        {v2 + "app/job/memory.current", "0\n"},
        {v2 + "app/memory.max", "1073741824\n"},
        {v2 + "app/memory.current", "805306368\n"}},
       252 * kMiB},
      {"v2 limit at the namespace's root",
       {{"/proc/self/cgroup", "0::/\n"}, {v2 + "memory.max", "268435456\n"}},
       252 * kMiB},
      {"v2 usage past the limit",
       {{"/proc/self/cgroup", inV2},
        {v2 + "app/job/memory.max", "1000\n"},
        {v2 + "app/job/memory.current", "4096\n"}},
       0},
      {"v2 limit without usage",
       {{"/proc/self/cgroup", inV2}, {v2 + "app/job/memory.max", "268435456\n"}},
       252 * kMiB},
      {"v2 limit unreadable",
       {{"/proc/self/cgroup", inV2},
        {v2 + "app/job/memory.max", "garbage\n"},
        {v2 + "app/job/memory.current", "1\n"}},
       64 * kGiB},
      {"v2 files of another cgroup",
       {{"/proc/self/cgroup", inV2}, {v2 + "other/memory.max", "4096\n"}},
       64 * kGiB},
      {"no /proc/self/cgroup", {{v2 + "memory.max", "4096\n"}}, 64 * kGiB},
      {"v2 page cache is room: 1 GiB less 23,310,336 bytes in use",
       {{"/proc/self/cgroup", inV2},
        {v2 + "app/job/memory.max", "1073741824\n"},
        {v2 + "app/job/memory.current", "862294016\n"},
        {v2 + "app/job/memory.stat", kV2Stat}},
       1073741824 - 23310336 - 4 * kMiB},
      {"v2 stat with v1's name only: no page cache",
       {{"/proc/self/cgroup", inV2},
        {v2 + "app/job/memory.max", "1073741824\n"},
        {v2 + "app/job/memory.current", "862294016\n"},
        {v2 + "app/job/memory.stat", "total_inactive_file 838983680\n"}},
       1073741824 - 862294016 - 4 * kMiB},
      {"v2 stat unreadable: no page cache",
       {{"/proc/self/cgroup", inV2},
        {v2 + "app/job/memory.max", "1073741824\n"},
        {v2 + "app/job/memory.current", "862294016\n"},
        {v2 + "app/job/memory.stat", "inactive_file lots\n"}},
       1073741824 - 862294016 - 4 * kMiB},
      {"v2 page cache above the usage: nothing in use",
       {{"/proc/self/cgroup", inV2},
        {v2 + "app/job/memory.max", "268435456\n"},
        {v2 + "app/job/memory.current", "4096\n"},
        {v2 + "app/job/memory.stat", "inactive_file 8192\n"}},
       252 * kMiB},
      {"v2 memory.high below memory.max",
       {{"/proc/self/cgroup", inV2},
        {v2 + "app/job/memory.max", "1073741824\n"},
        {v2 + "app/job/memory.high", "268435456\n"},
        {v2 + "app/job/memory.current", "1048576\n"}},
       251 * kMiB},
      {"v2 memory.high above memory.max",
       {{"/proc/self/cgroup", inV2},
        {v2 + "app/job/memory.max", "268435456\n"},
        {v2 + "app/job/memory.high", "1073741824\n"},
        {v2 + "app/job/memory.current", "1048576\n"}},
       251 * kMiB},
      {"v2 memory.high without memory.max, and page cache",
       {{"/proc/self/cgroup", inV2},
        {v2 + "app/job/memory.max", "max\n"},
        {v2 + "app/job/memory.high", "1073741824\n"},
        {v2 + "app/job/memory.current", "862294016\n"},
        {v2 + "app/job/memory.stat", kV2Stat}},
       1073741824 - 23310336 - 4 * kMiB},
      {"v2 memory.high of max",
       {{"/proc/self/cgroup", inV2},
        {v2 + "app/job/memory.high", "max\n"},
        {v2 + "app/job/memory.current", "1048576\n"}},
       64 * kGiB},
      {"v1 limit less usage",
       {{"/proc/self/cgroup", inV1},
        {v1 + "app/job/memory.limit_in_bytes", "536870912\n"},
        {v1 + "app/job/memory.usage_in_bytes", "268435456\n"}},
       252 * kMiB},
      {"v1 page cache is room: the subtree's total, not the cgroup's own",
       {{"/proc/self/cgroup", inV1},
        {v1 + "app/job/memory.limit_in_bytes", "1073741824\n"},
        {v1 + "app/job/memory.usage_in_bytes", "862294016\n"},
        {v1 + "app/job/memory.stat", kV1Stat}},
       1073741824 - 23310336 - 4 * kMiB},
      {"v1 stat without its total line: no page cache",
       {{"/proc/self/cgroup", inV1},
        {v1 + "app/job/memory.limit_in_bytes", "1073741824\n"},
        {v1 + "app/job/memory.usage_in_bytes", "862294016\n"},
        {v1 + "app/job/memory.stat", "inactive_file 838983680\n"}},
       1073741824 - 862294016 - 4 * kMiB},
      {"v1 page cache at an ancestor",
       {{"/proc/self/cgroup", inV1},
        {v1 + "app/memory.limit_in_bytes", "1073741824\n"},
        {v1 + "app/memory.usage_in_bytes", "862294016\n"},
        {v1 + "app/memory.stat", kV1Stat},
        {v1 + "app/job/memory.stat", "total_inactive_file 0\n"}},
       1073741824 - 23310336 - 4 * kMiB},
      {"v1 without a limit",
       {{"/proc/self/cgroup", inV1},
        {v1 + "app/job/memory.limit_in_bytes", "9223372036854771712\n"},
        {v1 + "app/job/memory.usage_in_bytes", "268435456\n"}},
       64 * kGiB},
      {"v1 limit at an ancestor",
       {{"/proc/self/cgroup", inV1}, {v1 + "app/memory.limit_in_bytes", "10485760\n"}},
       6 * kMiB},
      {"v1 limit within the margin: nothing",
       {{"/proc/self/cgroup", inV1}, {v1 + "app/memory.limit_in_bytes", "4194304\n"}},
       0},
      {"v1 and v2, the tighter",
       {{"/proc/self/cgroup", "4:memory:/a\n0::/b\n"},
        {v1 + "a/memory.limit_in_bytes", "11534336\n"},
        {v2 + "b/memory.max", "10485760\n"}},
       6 * kMiB},
      {"meminfo tighter than the cgroup",
       {{"/proc/meminfo", "MemAvailable: 5120 kB\n"},
        {"/proc/self/cgroup", "0::/\n"},
        {v2 + "memory.max", "10485760\n"}},
       1 * kMiB},
  };
  for (const Case& row : cases) {
    EXPECT_EQ(row.bytes, judge(64 * kGiB, 0, row.files)) << row.what;
  }
  // Physical memory below every other bound.
  EXPECT_EQ(kGiB, judge(kGiB, 0, {{"/proc/meminfo", kMeminfo}}));
}

// A block that replaces one of 100 MiB may take those 100 MiB besides what is left, but never
// more than the physical memory.
TEST(BlockMemory, CountsTheReplacedBlockAsFree) {
  const Files files = {{"/proc/meminfo", "MemAvailable: 14336 kB\n"},
                       {"/proc/self/cgroup", "0::/\n"},
                       {"/sys/fs/cgroup/memory.max", "268435456\n"},
                       {"/sys/fs/cgroup/memory.current", "257949696\n"}};
  EXPECT_EQ(6 * kMiB, judge(64 * kGiB, 0, files));
  EXPECT_EQ(106 * kMiB, judge(64 * kGiB, 100 * kMiB, files));
  EXPECT_EQ(50 * kMiB, judge(50 * kMiB, 100 * kMiB, files));
  EXPECT_EQ(UINT64_MAX, judge(UINT64_MAX, UINT64_MAX, {}));
  EXPECT_EQ(UINT64_MAX - 4 * kMiB, judge(UINT64_MAX, UINT64_MAX, {{"/proc/meminfo", kMeminfo}}));
}

}  // namespace
