#include "platform/file_copy.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace lumio {

namespace {

constexpr std::size_t kPieceBytes = 1u << 20;

class OpenFile {
 public:
  OpenFile(const std::string& path, int flags) : fd_(::open(path.c_str(), flags | O_CLOEXEC)) {}
  OpenFile(const OpenFile&) = delete;
  OpenFile& operator=(const OpenFile&) = delete;
  ~OpenFile() {
    if (fd_ >= 0) ::close(fd_);
  }
  int Get() const { return fd_; }

 private:
  int fd_;
};

bool Fail(std::string& error, const std::string& what) {
  error = what + ": " + std::strerror(errno);
  return false;
}

bool WriteAll(int fd, const char* bytes, std::size_t size) {
  while (size > 0) {
    const ssize_t written = ::write(fd, bytes, size);
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes += written;
    size -= static_cast<std::size_t>(written);
  }
  return true;
}

}  // namespace

bool CopyRegularFile(const std::string& from, const std::string& to, std::string& error) {
  const OpenFile source(from, O_RDONLY | O_NONBLOCK | O_NOCTTY);
  if (source.Get() < 0) return Fail(error, from);
  struct stat status {};
  if (::fstat(source.Get(), &status) != 0) return Fail(error, from);
  if (!S_ISREG(status.st_mode)) {
    error = from + ": not a regular file";
    return false;
  }
  const OpenFile target(to, O_WRONLY | O_TRUNC);
  if (target.Get() < 0) return Fail(error, to);
  std::vector<char> piece(kPieceBytes);
  off_t copied = 0;
  for (;;) {
    const ssize_t read = ::read(source.Get(), piece.data(), piece.size());
    if (read < 0 && errno == EINTR) continue;
    if (read < 0) return Fail(error, from);
    if (read == 0) break;
    if (!WriteAll(target.Get(), piece.data(), static_cast<std::size_t>(read))) {
      return Fail(error, to);
    }
    copied += read;
  }
  if (copied != status.st_size) {
    error = from + ": changed while it was copied";
    return false;
  }
  return true;
}

}  // namespace lumio
