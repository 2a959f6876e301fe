#include "platform/file_contents.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "platform/file_system.h"
#include "platform/path_rules.h"
#include "platform/temporary_files.h"

namespace lumio {

namespace {

// How many names "<base>", "<base>.1", … a file moved aside may take.
constexpr int kMoveAsideNames = 1000;
constexpr std::size_t kCopyPieceBytes = 1u << 20;

std::string MoveAsideName(const std::string& base, int number) {
  return number == 0 ? base : base + "." + std::to_string(number);
}

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
    std::string name = TemporaryFileName(target, ::getpid(), ++counter);
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

// Writes the temporary file completely and flushes it to disk. It keeps the permission
// bits of the file it replaces, made readable by the owner so that the next start can
// load it; a new file that takes the place of one moved aside is made writable by the
// owner too, since it is no longer the file the user set those bits on.
bool WriteTemporaryFile(const std::string& target, std::string_view bytes, bool movingAside,
                        std::string& tempPath) {
  Descriptor fd(CreateTemporaryFile(target, tempPath));
  if (!fd.Valid()) return false;
  struct stat old {};
  if (::stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode)) {
    const mode_t ownerBits = movingAside ? (S_IRUSR | S_IWUSR) : S_IRUSR;
    ::fchmod(fd.Get(), (old.st_mode & 07777) | ownerBits);
  }
  const bool ok = WriteAll(fd.Get(), bytes) && ::fsync(fd.Get()) == 0;
  return fd.Close() && ok;
}

// A file the user may not write to (a write-protected one) must not be replaced by a
// rename, which the folder's permissions alone would allow.
bool MayOverwrite(const std::string& target) {
  return ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) == 0 || errno == ENOENT;
}

// Renames `from` to `to` unless something exists at `to`; errno is EEXIST then.
bool RenameWithoutReplacing(const std::string& from, const std::string& to) {
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
    return true;
  }
  if (errno != EINVAL) return false;
  // A file system without the no-replace flag: check first, then rename.
  struct stat info {};
  if (::lstat(to.c_str(), &info) == 0) {
    errno = EEXIST;
    return false;
  }
  return ::rename(from.c_str(), to.c_str()) == 0;
}

// Moves whatever is at `target` to the first free name of `base`, "<base>.1", … so that
// an earlier file kept aside is never overwritten. Returns the name taken: empty when
// nothing was at `target`, nullopt on failure.
std::optional<std::string> MoveAside(const std::string& target, const std::string& base) {
  for (int number = 0; number < kMoveAsideNames; ++number) {
    std::string name = MoveAsideName(base, number);
    if (RenameWithoutReplacing(target, name)) return name;
    if (errno == ENOENT) return std::string();
    if (errno != EEXIST) return std::nullopt;
  }
  return std::nullopt;
}

}  // namespace

std::string FreeMoveAsideName(const std::string& base) {
  for (int number = 0; number < kMoveAsideNames; ++number) {
    struct stat info {};
    std::string name = MoveAsideName(base, number);
    if (::lstat(name.c_str(), &info) != 0 && errno == ENOENT) return name;
  }
  return base;
}

FileContents ReadRegularFile(const std::string& path, std::uint64_t maxBytes) {
  FileContents contents;
  // O_NONBLOCK: opening a pipe does not wait for a writer. Reading a regular file is
  // not changed by it.
  Descriptor fd(path.empty() ? -1 : ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (!fd.Valid()) {
    contents.outcome = (path.empty() || errno == ENOENT || errno == ENOTDIR)
                           ? ReadOutcome::Missing
                           : ReadOutcome::Unreadable;
    return contents;
  }
  contents.outcome = ReadOutcome::Unreadable;
  struct stat info {};
  // Folders, pipes and devices are never read: a pipe would block, a device never end.
  if (::fstat(fd.Get(), &info) != 0 || !S_ISREG(info.st_mode)) return contents;
  contents.size = static_cast<std::uint64_t>(info.st_size);
  char buffer[65536];
  while (contents.bytes.size() < maxBytes) {
    const std::size_t want = static_cast<std::size_t>(
        std::min<std::uint64_t>(sizeof buffer, maxBytes - contents.bytes.size()));
    const ssize_t got = ::read(fd.Get(), buffer, want);
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

bool CopyRegularFile(const std::string& from, const std::string& to, std::string& error) {
  const auto fail = [&error](const std::string& path) {
    error = path + ": " + std::strerror(errno);
    return false;
  };
  const Descriptor source(::open(from.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
  struct stat info {};
  if (!source.Valid() || ::fstat(source.Get(), &info) != 0) return fail(from);
  if (!S_ISREG(info.st_mode)) {
    error = from + ": not a regular file";
    return false;
  }
  const Descriptor target(::open(to.c_str(), O_WRONLY | O_CLOEXEC | O_TRUNC));
  if (!target.Valid()) return fail(to);
  std::vector<char> piece(kCopyPieceBytes);
  off_t copied = 0;
  for (;;) {
    const ssize_t got = ::read(source.Get(), piece.data(), piece.size());
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return fail(from);
    if (got == 0) break;
    if (!WriteAll(target.Get(), std::string_view(piece.data(), static_cast<std::size_t>(got)))) {
      return fail(to);
    }
    copied += got;
  }
  if (copied != info.st_size) {
    error = from + ": changed while it was copied";
    return false;
  }
  return true;
}

FileContents ReadWholeFile(const std::string& path) {
  return ReadRegularFile(path, std::numeric_limits<std::uint64_t>::max());
}

bool ReplaceFileAtomically(const std::string& path, std::string_view bytes,
                           const std::string& moveAsideTo) {
  if (path.empty()) return false;
  const std::string target = moveAsideTo.empty() ? ResolvedTarget(path) : path;
  const PathRules rules{PathStyle::Posix, SystemCodePage()};
  const std::string folder = FolderPart(target, rules);
  if (!folder.empty() && !FolderExists(folder) && !CreateFolderTree(folder)) return false;

  RemoveStaleTemporaryFiles(target);
  const bool movingAside = !moveAsideTo.empty();
  if (!movingAside && !MayOverwrite(target)) return false;

  std::string tempPath;
  if (!WriteTemporaryFile(target, bytes, movingAside, tempPath)) {
    if (!tempPath.empty()) ::unlink(tempPath.c_str());
    return false;
  }
  std::optional<std::string> movedTo;
  if (movingAside && !(movedTo = MoveAside(target, moveAsideTo))) {
    ::unlink(tempPath.c_str());
    return false;
  }
  if (::rename(tempPath.c_str(), target.c_str()) != 0) {
    ::unlink(tempPath.c_str());
    if (movedTo && !movedTo->empty()) RenameWithoutReplacing(*movedTo, target);
    return false;
  }
  SyncFolder(folder);
  return true;
}

}  // namespace lumio
