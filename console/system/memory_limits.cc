#include "console/system/memory_limits.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace console {
namespace {

constexpr const char* kMeminfoPath = "/proc/meminfo";
constexpr std::string_view kUnifiedMount = "/sys/fs/cgroup";
constexpr std::string_view kMemoryV1Mount = "/sys/fs/cgroup/memory";

// The decimal number at the start of `text`, and the text after it; nothing without a digit or
// when the number does not fit 64 bits.
std::optional<uint64_t> takeDecimal(std::string_view& text) {
  uint64_t value = 0;
  size_t length = 0;
  for (; length < text.size() && text[length] >= '0' && text[length] <= '9'; ++length) {
    if (__builtin_mul_overflow(value, 10, &value) ||
        __builtin_add_overflow(value, static_cast<uint64_t>(text[length] - '0'), &value)) {
      return std::nullopt;
    }
  }
  if (length == 0) return std::nullopt;
  text.remove_prefix(length);
  return value;
}

// Each line of `text` in turn, without its line end, until `visit` returns true.
template <typename Visit>
void forEachLine(std::string_view text, Visit visit) {
  while (!text.empty()) {
    const size_t end = std::min(text.find('\n'), text.size());
    if (visit(text.substr(0, end))) return;
    text.remove_prefix(std::min(end + 1, text.size()));
  }
}

bool listsController(std::string_view controllers, std::string_view wanted) {
  while (true) {
    const size_t comma = controllers.find(',');
    if (controllers.substr(0, comma) == wanted) return true;
    if (comma == std::string_view::npos) return false;
    controllers.remove_prefix(comma + 1);
  }
}

uint64_t saturatingAdd(uint64_t a, uint64_t b) {
  uint64_t sum = 0;
  return __builtin_add_overflow(a, b, &sum) ? UINT64_MAX : sum;
}

// What `limit` leaves to the working set, or nothing when its limit does not apply.
std::optional<uint64_t> limitRoom(const CgroupLimit& limit, const ReadFile& readFile) {
  const std::optional<std::string> limitText = readFile(limit.limitFile);
  const std::optional<uint64_t> limitBytes = limitText ? cgroupBytes(*limitText) : std::nullopt;
  if (!limitBytes) return std::nullopt;
  const std::optional<std::string> usageText = readFile(limit.usageFile);
  const uint64_t usage = usageText ? cgroupBytes(*usageText).value_or(0) : 0;
  // Page cache the kernel drops before it takes memory from a process is room.
  const std::optional<std::string> statText = readFile(limit.statFile);
  const uint64_t cache = statText ? memoryStatBytes(*statText, limit.cacheName).value_or(0) : 0;
  const uint64_t workingSet = usage > cache ? usage - cache : 0;
  return *limitBytes > workingSet ? *limitBytes - workingSet : 0;
}

// True when `line` starts with `name` and then `separator`, which are then taken off it.
bool takeName(std::string_view& line, std::string_view name, char separator) {
  if (line.size() <= name.size() || line.substr(0, name.size()) != name ||
      line[name.size()] != separator) {
    return false;
  }
  line.remove_prefix(name.size() + 1);
  return true;
}

}  // namespace

std::optional<uint64_t> meminfoBytes(std::string_view meminfo, std::string_view name) {
  std::optional<uint64_t> bytes;
  forEachLine(meminfo, [&](std::string_view line) {
    if (!takeName(line, name, ':')) return false;
    line.remove_prefix(std::min(line.find_first_not_of(' '), line.size()));
    const std::optional<uint64_t> kib = takeDecimal(line);
    uint64_t product = 0;
    if (kib && line == " kB" && !__builtin_mul_overflow(*kib, 1024, &product)) bytes = product;
    return true;
  });
  return bytes;
}

std::optional<uint64_t> availableMemory(std::string_view meminfo) {
  const std::optional<uint64_t> available = meminfoBytes(meminfo, "MemAvailable");
  if (!available) return std::nullopt;
  return saturatingAdd(*available, meminfoBytes(meminfo, "SwapFree").value_or(0));
}

CgroupPaths cgroupPaths(std::string_view selfCgroup) {
  CgroupPaths paths;
  forEachLine(selfCgroup, [&](std::string_view line) {
    const size_t first = line.find(':');
    const size_t second = first == std::string_view::npos ? first : line.find(':', first + 1);
    if (second == std::string_view::npos) return false;
    const std::string_view id = line.substr(0, first);
    const std::string_view controllers = line.substr(first + 1, second - first - 1);
    const std::string_view path = line.substr(second + 1);
    if (id == "0" && controllers.empty()) {
      paths.unified = path;
    } else if (listsController(controllers, "memory")) {
      paths.memory = path;
    }
    return false;
  });
  return paths;
}

std::optional<uint64_t> cgroupBytes(std::string_view text) {
  const std::optional<uint64_t> bytes = takeDecimal(text);
  if (!bytes || !(text.empty() || text == "\n")) return std::nullopt;
  return bytes;
}

std::optional<uint64_t> memoryStatBytes(std::string_view stat, std::string_view name) {
  std::optional<uint64_t> bytes;
  forEachLine(stat, [&](std::string_view line) {
    if (!takeName(line, name, ' ')) return false;
    bytes = takeDecimal(line);
    if (!line.empty()) bytes = std::nullopt;
    return true;
  });
  return bytes;
}

std::vector<std::string> cgroupFolders(std::string_view mountPoint, std::string_view path) {
  std::vector<std::string> folders;
  if (path.empty() || path.front() != '/') return folders;
  while (path.size() > 1 && path.back() == '/') path.remove_suffix(1);
  while (true) {
    folders.push_back(std::string(mountPoint).append(path == "/" ? "" : path));
    if (path == "/") return folders;
    const size_t slash = path.rfind('/');
    path = path.substr(0, slash == 0 ? 1 : slash);
  }
}

std::vector<CgroupLimit> cgroupLimits(std::string_view selfCgroup) {
  const CgroupPaths paths = cgroupPaths(selfCgroup);
  std::vector<CgroupLimit> limits;
  for (const std::string& folder : cgroupFolders(kUnifiedMount, paths.unified)) {
    // Above memory.high the kernel throttles the process until it crawls: a limit as well.
    for (const char* limitFile : {"/memory.max", "/memory.high"}) {
      limits.push_back({folder + limitFile, folder + "/memory.current", folder + "/memory.stat",
                        "inactive_file"});
    }
  }
  for (const std::string& folder : cgroupFolders(kMemoryV1Mount, paths.memory)) {
    limits.push_back({folder + "/memory.limit_in_bytes", folder + "/memory.usage_in_bytes",
                      folder + "/memory.stat", "total_inactive_file"});
  }
  return limits;
}

uint64_t blockMemory(uint64_t physicalBytes, uint64_t heldBytes,
                     const std::vector<CgroupLimit>& limits, const ReadFile& readFile) {
  uint64_t bound = physicalBytes;
  const auto lowerTo = [&](std::optional<uint64_t> free) {
    if (!free) return;
    const uint64_t room = saturatingAdd(*free, heldBytes);
    bound = std::min(bound, room > kProcessMarginBytes ? room - kProcessMarginBytes : 0);
  };
  const std::optional<std::string> meminfo = readFile(kMeminfoPath);
  if (meminfo) lowerTo(availableMemory(*meminfo));
  for (const CgroupLimit& limit : limits) lowerTo(limitRoom(limit, readFile));
  return bound;
}

}  // namespace console
