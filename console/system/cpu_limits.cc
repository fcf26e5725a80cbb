#include "console/system/cpu_limits.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <string>

namespace console {
namespace {

// A decimal number that is the whole of `text`, a line end after it allowed.
std::optional<int64_t> wholeDecimal(std::string_view text) {
  if (!text.empty() && text.back() == '\n') text.remove_suffix(1);
  int64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc{} || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::optional<unsigned> quotaCpus(std::optional<int64_t> quota, std::optional<int64_t> period) {
  if (!quota || !period || *quota <= 0 || *period <= 0) return std::nullopt;
  const int64_t cpus = (*quota + *period - 1) / *period;
  return static_cast<unsigned>(std::min<int64_t>(cpus, UINT32_MAX));
}

}  // namespace

std::optional<unsigned> cpuMaxCpus(std::string_view cpuMax) {
  const size_t blank = cpuMax.find(' ');
  if (blank == std::string_view::npos) return std::nullopt;
  return quotaCpus(wholeDecimal(cpuMax.substr(0, blank)), wholeDecimal(cpuMax.substr(blank + 1)));
}

std::optional<unsigned> cfsQuotaCpus(std::string_view quota, std::string_view period) {
  return quotaCpus(wholeDecimal(quota), wholeDecimal(period));
}

std::string_view cpuCgroupPath(std::string_view selfCgroup) {
  while (!selfCgroup.empty()) {
    const std::string_view line = selfCgroup.substr(0, selfCgroup.find('\n'));
    selfCgroup.remove_prefix(std::min(line.size() + 1, selfCgroup.size()));
    const size_t first = line.find(':');
    const size_t second = first == std::string_view::npos ? first : line.find(':', first + 1);
    if (second == std::string_view::npos) continue;
    std::string_view controllers = line.substr(first + 1, second - first - 1);
    while (!controllers.empty()) {
      const std::string_view controller = controllers.substr(0, controllers.find(','));
      if (controller == "cpu") return line.substr(second + 1);
      controllers.remove_prefix(std::min(controller.size() + 1, controllers.size()));
    }
  }
  return {};
}

unsigned workerCount(unsigned affinityCpus, const ReadFile& readFile) {
  unsigned workers = std::max(affinityCpus, 1u);
  const std::optional<std::string> selfCgroup = readFile("/proc/self/cgroup");
  if (!selfCgroup) return workers;
  const auto limit = [&](std::optional<unsigned> cpus) {
    if (cpus) workers = std::min(workers, std::max(*cpus, 1u));
  };
  for (const std::string& folder :
       cgroupFolders("/sys/fs/cgroup", cgroupPaths(*selfCgroup).unified)) {
    if (const std::optional<std::string> text = readFile(folder + "/cpu.max")) {
      limit(cpuMaxCpus(*text));
    }
  }
  for (const std::string& folder :
       cgroupFolders("/sys/fs/cgroup/cpu", cpuCgroupPath(*selfCgroup))) {
    const std::optional<std::string> quota = readFile(folder + "/cpu.cfs_quota_us");
    const std::optional<std::string> period = readFile(folder + "/cpu.cfs_period_us");
    if (quota && period) limit(cfsQuotaCpus(*quota, *period));
  }
  return workers;
}

}  // namespace console
