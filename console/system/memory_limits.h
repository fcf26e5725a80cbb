// The memory a process may still take, judged from the texts of the kernel's files: the memory
// available with the free swap (/proc/meminfo), and what the memory limits of each control
// group of the process leave to its working set, cgroup v2 and v1, up the tree. Pure: the files
// come from a reader the caller gives, so that sample texts stand in for the system's.
#ifndef CONSOLE_SYSTEM_MEMORY_LIMITS_H_
#define CONSOLE_SYSTEM_MEMORY_LIMITS_H_

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace console {

/// The whole text of the file at a path, or nothing when it is missing or cannot be read.
using ReadFile = std::function<std::optional<std::string>(const std::string& path)>;

/// The bytes of the line `name` ("MemAvailable") of a /proc/meminfo text, whose lines read
/// "MemAvailable:   123456 kB"; nothing when the line is missing or not of that form.
std::optional<uint64_t> meminfoBytes(std::string_view meminfo, std::string_view name);

/// The memory the system can still give from a /proc/meminfo text: MemAvailable plus SwapFree
/// (no swap counts as none); nothing without MemAvailable (kernels before 3.14).
std::optional<uint64_t> availableMemory(std::string_view meminfo);

/// The cgroups of the process from a /proc/self/cgroup text: the path in the unified (v2)
/// hierarchy, line "0::/path", and in the v1 hierarchy of the memory controller, a line
/// "N:controllers:/path" whose comma-separated controllers include "memory". Each is empty when
/// the text has no such line.
struct CgroupPaths {
  std::string unified;
  std::string memory;
};
CgroupPaths cgroupPaths(std::string_view selfCgroup);

/// A cgroup memory file's text, decimal bytes and a line end; nothing for "max" (no limit) or
/// for any other text.
std::optional<uint64_t> cgroupBytes(std::string_view text);

/// The bytes of the line `name` ("inactive_file") of a cgroup memory.stat text, whose lines
/// read "inactive_file 8192"; nothing when the line is missing or not of that form.
std::optional<uint64_t> memoryStatBytes(std::string_view stat, std::string_view name);

/// The folders of the cgroup at `path` (absolute in its hierarchy) and of each of its
/// ancestors, the root last, under the hierarchy's mount point `mountPoint`.
std::vector<std::string> cgroupFolders(std::string_view mountPoint, std::string_view path);

/// One memory limit of a cgroup: the file of the limit, the file of the usage it is held to,
/// and the memory.stat file whose line `cacheName` counts the page cache in that usage that
/// the kernel would reclaim first.
struct CgroupLimit {
  std::string limitFile;
  std::string usageFile;
  std::string statFile;
  std::string cacheName;
};

/// The memory limits of the process's cgroups from a /proc/self/cgroup text, for its cgroup and
/// each ancestor: in v2 memory.max and memory.high against memory.current and inactive_file,
/// under /sys/fs/cgroup; in v1 memory.limit_in_bytes against memory.usage_in_bytes and
/// total_inactive_file, under /sys/fs/cgroup/memory. The paths do not change while the
/// process runs, so they are found once.
std::vector<CgroupLimit> cgroupLimits(std::string_view selfCgroup);

/// Kept back for the process itself beyond the blocks it is judged for: its stack, buffers,
/// the kernel's records of it, and the usage the kernel counts in batches ahead of use.
inline constexpr uint64_t kProcessMarginBytes = 4 << 20;

/// The most memory a new block may take, as console/system/memory_cost.h counts it, without the
/// system killing the process as it is filled: the least of `physicalBytes`, the memory
/// available plus free swap (/proc/meminfo), and what each of `limits` leaves, its limit less
/// the working set (the usage less the reclaimable page cache, floored at 0), all read through
/// `readFile` now. The `heldBytes` of a block the new one replaces are in use now and given
/// back, so they count as free towards the last two, less kProcessMarginBytes (floored at 0).
/// A limit that cannot be read or is "max" does not apply; a usage that cannot be read counts
/// as none, a memory.stat or line that cannot be read as no page cache.
uint64_t blockMemory(uint64_t physicalBytes, uint64_t heldBytes,
                     const std::vector<CgroupLimit>& limits, const ReadFile& readFile);

}  // namespace console

#endif  // CONSOLE_SYSTEM_MEMORY_LIMITS_H_
