#include "platform/temporary_files.h"

#include <dirent.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <memory>
#include <optional>
#include <string_view>

#include "platform/path_rules.h"

namespace lumio {

namespace {

constexpr std::string_view kMarker = ".tmp-";

// A run of decimal digits as a positive number no larger than `limit`.
std::optional<long long> PositiveNumber(std::string_view digits, long long limit) {
  if (digits.empty() || digits.size() > 19) return std::nullopt;
  long long value = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
    if (value > limit) return std::nullopt;
  }
  return value > 0 ? std::optional<long long>(value) : std::nullopt;
}

// The process id in `name` when it is "<base>.tmp-<pid>-<counter>".
std::optional<pid_t> SavingProcess(std::string_view name, std::string_view base) {
  if (name.size() <= base.size() + kMarker.size() || name.substr(0, base.size()) != base ||
      name.substr(base.size(), kMarker.size()) != kMarker) {
    return std::nullopt;
  }
  const std::string_view rest = name.substr(base.size() + kMarker.size());
  const std::size_t dash = rest.find('-');
  if (dash == std::string_view::npos || !PositiveNumber(rest.substr(dash + 1), UINT_MAX)) {
    return std::nullopt;
  }
  // kill() takes 0 and negative numbers as process groups, so only positive ids pass.
  const auto pid = PositiveNumber(rest.substr(0, dash), INT_MAX);
  if (!pid) return std::nullopt;
  return static_cast<pid_t>(*pid);
}

bool ProcessIsGone(pid_t pid) { return ::kill(pid, 0) != 0 && errno == ESRCH; }

}  // namespace

std::string TemporaryFileName(const std::string& target, pid_t pid, unsigned counter) {
  return target + std::string(kMarker) + std::to_string(pid) + "-" + std::to_string(counter);
}

void RemoveStaleTemporaryFiles(const std::string& target) {
  const PathRules rules{PathStyle::Posix, SystemCodePage()};
  const std::string folder = FolderPart(target, rules);
  const std::string base = FileNamePart(target, rules);
  const auto close = [](DIR* folderEntries) { ::closedir(folderEntries); };
  std::unique_ptr<DIR, decltype(close)> entries(::opendir(folder.empty() ? "." : folder.c_str()),
                                                close);
  if (!entries) return;
  while (const dirent* entry = ::readdir(entries.get())) {
    const auto pid = SavingProcess(entry->d_name, base);
    if (!pid || !ProcessIsGone(*pid)) continue;
    const std::string path = folder + entry->d_name;
    struct stat info {};
    if (::lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode)) ::unlink(path.c_str());
  }
}

}  // namespace lumio
