#include "encode/finish/temporary_output.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <random>
#include <set>
#include <string_view>
#include <utility>

namespace lumio {

namespace {

// ".lumio-<pid>-<unique>.part": hidden, with the pid in decimal and the unique part in
// 5 to 12 lower-case hexadecimal digits (UniquePart).
constexpr std::string_view kPrefix = ".lumio-";
constexpr std::string_view kSuffix = ".part";

std::string UniquePart() {
  static std::atomic<unsigned> counter{0};
  static const unsigned seed = std::random_device{}();
  char text[32];
  std::snprintf(text, sizeof text, "%x%04x", seed, counter.fetch_add(1) & 0xFFFF);
  return text;
}

// Whether `text` is `least` to `most` characters, each one of `allowed`.
bool MadeOf(std::string_view text, std::string_view allowed, std::size_t least, std::size_t most) {
  return text.size() >= least && text.size() <= most &&
         text.find_first_not_of(allowed) == std::string_view::npos;
}

// Whether `name` is exactly what Reserve makes; a user's ".lumio-99999-my notes.part" is not.
bool IsReservedName(std::string_view name) {
  if (name.size() <= kPrefix.size() + kSuffix.size() || name.substr(0, kPrefix.size()) != kPrefix ||
      name.substr(name.size() - kSuffix.size()) != kSuffix) {
    return false;
  }
  name = name.substr(kPrefix.size(), name.size() - kPrefix.size() - kSuffix.size());
  const std::size_t dash = name.find('-');
  if (dash == std::string_view::npos) {
    return false;
  }
  const std::string_view pid = name.substr(0, dash);
  return MadeOf(pid, "0123456789", 1, 10) && pid.front() != '0' &&
         MadeOf(name.substr(dash + 1), "0123456789abcdef", 5, 12);
}

bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Whether `path` still names the file open as `file`: a file removed or replaced between
// its opening and its locking is not the one locked.
bool StillNames(const std::string& path, int file) {
  struct stat opened {};
  struct stat named {};
  return ::fstat(file, &opened) == 0 && ::lstat(path.c_str(), &named) == 0 &&
         SameFile(opened, named);
}

void RemoveIfAbandoned(const std::string& path) {
  // O_NOFOLLOW refuses a link, O_NONBLOCK keeps a FIFO from stalling the open.
  const int file = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (file < 0) {
    return;
  }
  struct stat status {};
  if (::fstat(file, &status) == 0 && S_ISREG(status.st_mode) && status.st_uid == ::geteuid() &&
      ::flock(file, LOCK_EX | LOCK_NB) == 0 && StillNames(path, file)) {
    ::unlink(path.c_str());
  }
  ::close(file);
}

}  // namespace

std::optional<TemporaryOutput> TemporaryOutput::Reserve(const std::string& folder,
                                                        std::string& error) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name = std::string(kPrefix) + std::to_string(::getpid()) + "-" + UniquePart() +
                       std::string(kSuffix);
    const std::string path = folder + name;
    const int file = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (file < 0) {
      if (errno != EEXIST) {
        error = std::strerror(errno);
        return std::nullopt;
      }
      continue;
    }
    // A sweep of another Lumio may take the new file before it is locked; it then removes
    // it, and another name is tried.
    if (::flock(file, LOCK_EX | LOCK_NB) == 0 && StillNames(path, file)) {
      return TemporaryOutput(folder, std::move(name), file);
    }
    ::close(file);
  }
  error = std::strerror(EEXIST);
  return std::nullopt;
}

TemporaryOutput::TemporaryOutput(TemporaryOutput&& other) noexcept
    : folder_(std::move(other.folder_)),
      name_(std::move(other.name_)),
      lockedFile_(std::exchange(other.lockedFile_, -1)) {}

TemporaryOutput& TemporaryOutput::operator=(TemporaryOutput&& other) noexcept {
  if (this != &other) {
    if (lockedFile_ >= 0) {
      ::close(lockedFile_);
    }
    folder_ = std::move(other.folder_);
    name_ = std::move(other.name_);
    lockedFile_ = std::exchange(other.lockedFile_, -1);
  }
  return *this;
}

TemporaryOutput::~TemporaryOutput() {
  if (lockedFile_ >= 0) {
    ::close(lockedFile_);
  }
}

bool TemporaryOutput::HasContent() const {
  struct stat status {};
  return ::stat(Path().c_str(), &status) == 0 && S_ISREG(status.st_mode) && status.st_size > 0;
}

bool TemporaryOutput::Commit(const std::string& finalName, std::string& error) {
  if (::rename(Path().c_str(), (folder_ + finalName).c_str()) == 0) {
    return true;
  }
  error = std::strerror(errno);
  Discard();
  return false;
}

void TemporaryOutput::Discard() { ::unlink(Path().c_str()); }

void RemoveAbandonedTemporaryOutputs(const std::vector<std::string>& folders) {
  const std::set<std::string> distinct(folders.begin(), folders.end());
  const auto close = [](DIR* entries) { ::closedir(entries); };
  for (const std::string& folder : distinct) {
    std::unique_ptr<DIR, decltype(close)> entries(::opendir(folder.c_str()), close);
    if (!entries) {
      continue;
    }
    while (const dirent* entry = ::readdir(entries.get())) {
      if (IsReservedName(entry->d_name)) {
        RemoveIfAbandoned(folder + entry->d_name);
      }
    }
  }
}

}  // namespace lumio
