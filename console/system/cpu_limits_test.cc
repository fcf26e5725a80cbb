#include "console/system/cpu_limits.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {

using console::cfsQuotaCpus;
using console::cpuMaxCpus;
using console::workerCount;

TEST(CpuMaxCpus, RoundsTheQuotaUpAndIgnoresNoQuota) {
  EXPECT_EQ(2u, cpuMaxCpus("200000 100000\n"));
  EXPECT_EQ(2u, cpuMaxCpus("150000 100000\n"));
  EXPECT_EQ(1u, cpuMaxCpus("50000 100000\n"));
  EXPECT_EQ(1u, cpuMaxCpus("100000 100000"));
  EXPECT_EQ(std::nullopt, cpuMaxCpus("max 100000\n"));
  EXPECT_EQ(std::nullopt, cpuMaxCpus("100000\n"));
  EXPECT_EQ(std::nullopt, cpuMaxCpus("0 100000\n"));
  EXPECT_EQ(std::nullopt, cpuMaxCpus("1e5 100000\n"));
}

TEST(CfsQuotaCpus, RoundsTheQuotaUpAndIgnoresMinusOne) {
  EXPECT_EQ(3u, cfsQuotaCpus("250000\n", "100000\n"));
  EXPECT_EQ(1u, cfsQuotaCpus("10000\n", "100000\n"));
  EXPECT_EQ(std::nullopt, cfsQuotaCpus("-1\n", "100000\n"));
  EXPECT_EQ(std::nullopt, cfsQuotaCpus("50000\n", "0\n"));
}

TEST(CpuCgroupPath, FindsTheCpuControllersLine) {
  EXPECT_EQ("/user.slice", console::cpuCgroupPath("12:memory:/m\n4:cpu,cpuacct:/user.slice\n"));
  EXPECT_EQ("/a", console::cpuCgroupPath("3:cpuset:/s\n2:cpuacct,cpu:/a\n"));
  EXPECT_EQ("", console::cpuCgroupPath("0::/only.unified\n3:cpuset:/s\n"));
}

// A machine of files: the affinity's CPUs, capped by the least quota up the tree, v2 and v1.
TEST(WorkerCount, TheAffinityCappedByTheLeastQuotaUpTheTree) {
  struct Case {
    unsigned affinity;
    std::map<std::string, std::string> files;
    unsigned workers;
  };
  const std::string self = "/proc/self/cgroup";
  const Case cases[] = {
      {8, {}, 8},
      {0, {}, 1},
      {8, {{self, "0::/a/b\n"}, {"/sys/fs/cgroup/a/b/cpu.max", "max 100000\n"}}, 8},
      {8, {{self, "0::/a/b\n"}, {"/sys/fs/cgroup/a/cpu.max", "150000 100000\n"}}, 2},
      {8,
       {{self, "0::/a/b\n"},
        {"/sys/fs/cgroup/a/b/cpu.max", "400000 100000\n"},
        {"/sys/fs/cgroup/cpu.max", "300000 100000\n"}},
       3},
      {2, {{self, "0::/\n"}, {"/sys/fs/cgroup/cpu.max", "400000 100000\n"}}, 2},
      {16,
       {{self, "5:cpu,cpuacct:/docker/x\n0::/\n"},
        {"/sys/fs/cgroup/cpu/docker/x/cpu.cfs_quota_us", "-1\n"},
        {"/sys/fs/cgroup/cpu/docker/x/cpu.cfs_period_us", "100000\n"},
        {"/sys/fs/cgroup/cpu/docker/cpu.cfs_quota_us", "350000\n"},
        {"/sys/fs/cgroup/cpu/docker/cpu.cfs_period_us", "100000\n"}},
       4},
  };
  for (const Case& c : cases) {
    const auto readFile = [&c](const std::string& path) -> std::optional<std::string> {
      const auto found = c.files.find(path);
      if (found == c.files.end()) return std::nullopt;
      return found->second;
    };
    EXPECT_EQ(c.workers, workerCount(c.affinity, readFile)) << c.affinity;
  }
}

}  // namespace
