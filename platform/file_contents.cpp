#include "platform/file_contents.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <memory>
#include <utility>

#include "platform/file_system.h"
#include "platform/path_rules.h"

namespace lumio {

namespace {

// Closes a file descriptor when it goes out of scope.
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  int Get() const { return fd_; }
  bool Valid() const { return fd_ >= 0; }
  // Closes now and reports whether the close (which may flush) succeeded.
  bool Close() {
    const int fd = fd_;
    fd_ = -1;
    return fd < 0 || ::close(fd) == 0;
  }

 private:
  int fd_;
};

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

// The file a symbolic link at `path` points to, so that saving replaces the target and
// keeps the link; `path` itself otherwise.
std::string ResolvedTarget(const std::string& path) {
  struct stat info {};
  if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
  std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr),
                                                       &std::free);
  return resolved ? std::string(resolved.get()) : path;
}

// Opens a new temporary file beside `target`; its name is returned in `tempPath`, which
// stays empty when no file was made. The permissions follow the process's umask.
int CreateTemporaryFile(const std::string& target, std::string& tempPath) {
  static unsigned counter = 0;
  tempPath.clear();
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name =
        target + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(++counter);
    const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) tempPath = std::move(name);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

void SyncFolder(const std::string& folder) {
  Descriptor fd(::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  // The new file is already in place; a file system that cannot flush folders
  // changes nothing about the outcome.
  if (fd.Valid()) ::fsync(fd.Get());
}

// Writes the temporary file completely and flushes it to disk.
bool WriteTemporaryFile(const std::string& target, std::string_view bytes, std::string& tempPath) {
  Descriptor fd(CreateTemporaryFile(target, tempPath));
  if (!fd.Valid()) return false;
  struct stat old {};
  // Keep the permissions of the file being replaced.
  if (::stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode)) {
    ::fchmod(fd.Get(), old.st_mode & 07777);
  }
  const bool ok = WriteAll(fd.Get(), bytes) && ::fsync(fd.Get()) == 0;
  return fd.Close() && ok;
}

}  // namespace

FileContents ReadWholeFile(const std::string& path) {
  FileContents contents;
  struct stat info {};
  if (path.empty() || ::stat(path.c_str(), &info) != 0) {
    contents.outcome = (path.empty() || errno == ENOENT || errno == ENOTDIR)
                           ? ReadOutcome::Missing
                           : ReadOutcome::Unreadable;
    return contents;
  }
  contents.outcome = ReadOutcome::Unreadable;
  // Folders, pipes and devices are never read: a pipe would block, a device never end.
  if (!S_ISREG(info.st_mode)) return contents;
  Descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd.Valid()) return contents;
  char buffer[65536];
  while (true) {
    const ssize_t got = ::read(fd.Get(), buffer, sizeof buffer);
    if (got < 0) {
      if (errno == EINTR) continue;
      contents.bytes.clear();
      return contents;
    }
    if (got == 0) break;
    contents.bytes.append(buffer, static_cast<std::size_t>(got));
  }
  contents.outcome = ReadOutcome::Read;
  return contents;
}

bool ReplaceFileAtomically(const std::string& path, std::string_view bytes,
                           const std::string& moveAsideTo) {
  if (path.empty()) return false;
  const std::string target = moveAsideTo.empty() ? ResolvedTarget(path) : path;
  const PathRules rules{PathStyle::Posix, SystemCodePage()};
  const std::string folder = FolderPart(target, rules);
  if (!folder.empty() && !FolderExists(folder) && !CreateFolderTree(folder)) return false;

  std::string tempPath;
  if (!WriteTemporaryFile(target, bytes, tempPath)) {
    if (!tempPath.empty()) ::unlink(tempPath.c_str());
    return false;
  }
  if (!moveAsideTo.empty() && ::rename(target.c_str(), moveAsideTo.c_str()) != 0 &&
      errno != ENOENT) {
    ::unlink(tempPath.c_str());
    return false;
  }
  if (::rename(tempPath.c_str(), target.c_str()) != 0) {
    ::unlink(tempPath.c_str());
    if (!moveAsideTo.empty()) ::rename(moveAsideTo.c_str(), target.c_str());
    return false;
  }
  SyncFolder(folder);
  return true;
}

}  // namespace lumio
