#include "encode/temporary_output.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
#include <string_view>

namespace lumio {

namespace {

// ".lumio-<pid>-<unique>.part": hidden, and the pid tells a later run whether the
// process that made it is gone.
constexpr std::string_view kPrefix = ".lumio-";
constexpr std::string_view kSuffix = ".part";

std::string UniquePart() {
  static std::atomic<unsigned> counter{0};
  static const unsigned seed = std::random_device{}();
  char text[32];
  std::snprintf(text, sizeof text, "%x%04x", seed, counter.fetch_add(1) & 0xFFFF);
  return text;
}

// The pid in a name this program made; nullopt for any other name.
std::optional<pid_t> OwnerOf(std::string_view name) {
  if (name.substr(0, kPrefix.size()) != kPrefix || name.size() <= kPrefix.size() + kSuffix.size() ||
      name.substr(name.size() - kSuffix.size()) != kSuffix) {
    return std::nullopt;
  }
  name.remove_prefix(kPrefix.size());
  pid_t pid = 0;
  const auto [end, error] = std::from_chars(name.data(), name.data() + name.size(), pid);
  if (error != std::errc() || end == name.data() + name.size() || *end != '-' || pid <= 0) {
    return std::nullopt;
  }
  return pid;
}

}  // namespace

std::optional<TemporaryOutput> TemporaryOutput::Reserve(const std::string& folder,
                                                        std::string& error) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name = std::string(kPrefix) + std::to_string(::getpid()) + "-" + UniquePart() +
                       std::string(kSuffix);
    const int fd = ::open((folder + name).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
      ::close(fd);
      return TemporaryOutput(folder, std::move(name));
    }
    if (errno != EEXIST) {
      error = std::strerror(errno);
      return std::nullopt;
    }
  }
  error = std::strerror(EEXIST);
  return std::nullopt;
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

void RemoveAbandonedTemporaryOutputs(const std::string& folder) {
  std::error_code error;
  for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
       it.increment(error)) {
    const std::string name = it->path().filename().string();
    const std::optional<pid_t> owner = OwnerOf(name);
    if (owner && ::kill(*owner, 0) != 0 && errno == ESRCH && it->is_regular_file(error)) {
      ::unlink(it->path().c_str());
    }
  }
}

}  // namespace lumio
