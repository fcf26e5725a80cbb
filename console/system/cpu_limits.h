// The CPUs a process may keep busy at once, judged from the texts of the kernel's files: the
// quota of each control group of the process, cgroup v2 (cpu.max) and v1 (cpu.cfs_quota_us and
// cpu.cfs_period_us), up the tree. Pure: the files come from the reader the caller gives.
#ifndef CONSOLE_SYSTEM_CPU_LIMITS_H_
#define CONSOLE_SYSTEM_CPU_LIMITS_H_

#include <optional>
#include <string_view>

#include "console/system/memory_limits.h"

namespace console {

/// The CPUs a cgroup v2 cpu.max text ("150000 100000": a quota of microseconds per period)
/// allows, rounded up and at least 1; nothing for "max" (no quota) or any other text.
std::optional<unsigned> cpuMaxCpus(std::string_view cpuMax);

/// The same from cgroup v1's cpu.cfs_quota_us and cpu.cfs_period_us texts; nothing for a quota
/// of -1 (none) or any other text.
std::optional<unsigned> cfsQuotaCpus(std::string_view quota, std::string_view period);

/// The path of the process's cgroup in the v1 hierarchy of the cpu controller, from a
/// /proc/self/cgroup text: a line "N:controllers:/path" whose controllers include "cpu".
/// Empty when there is none.
std::string_view cpuCgroupPath(std::string_view selfCgroup);

/// The worker threads worth starting: `affinityCpus` (the CPUs the process may run on), and no
/// more than the least quota of its cgroups and their ancestors, v2 under /sys/fs/cgroup, v1
/// under /sys/fs/cgroup/cpu, read through `readFile`. A quota that cannot be read does not
/// apply. At least 1.
unsigned workerCount(unsigned affinityCpus, const ReadFile& readFile);

}  // namespace console

#endif  // CONSOLE_SYSTEM_CPU_LIMITS_H_
