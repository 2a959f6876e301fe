#include "core/byte_source.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "core/wave_reader.h"

namespace lumio {

namespace {

[[noreturn]] void ThrowIoError(const std::string& what) {
  throw SourceReadError(what + ": " + std::strerror(errno));
}

}  // namespace

std::size_t MemoryByteSource::ReadAt(std::uint64_t position, void* buffer, std::size_t size) {
  if (position >= bytes_.size()) return 0;
  const std::size_t count = std::min<std::uint64_t>(size, bytes_.size() - position);
  std::memcpy(buffer, bytes_.data() + position, count);
  return count;
}

FileByteSource::FileByteSource(const std::string& path) {
  // O_NONBLOCK keeps a named pipe or a device from holding the program up: opening a
  // pipe does not wait for a writer. Regular files read as usual.
  do {
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  } while (fd_ < 0 && errno == EINTR);
  if (fd_ < 0) ThrowIoError("cannot open " + path);
  // Checked on the opened file: a pipe or a device put in the place of the path after
  // an earlier look is not read. A device (/dev/zero) would give bytes without end.
  struct stat info {};
  if (::fstat(fd_, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd_);
    errno = EINVAL;
    ThrowIoError("not a regular file: " + path);
  }
  length_ = static_cast<std::uint64_t>(info.st_size);
}

FileByteSource::~FileByteSource() { ::close(fd_); }

std::uint64_t FileByteSource::Length() { return length_; }

std::size_t FileByteSource::ReadAt(std::uint64_t position, void* buffer, std::size_t size) {
  if (position + size > kHeadSize) return ReadFromFile(position, buffer, size);
  if (!headRead_) {
    // One call: a regular file gives fewer bytes only at its end, and asking again there
    // would cost every short file a second call.
    ssize_t got = 0;
    do {
      got = ::pread(fd_, head_.data(), kHeadSize, 0);
    } while (got < 0 && errno == EINTR);
    if (got < 0) ThrowIoError("cannot read the file");
    headLength_ = static_cast<std::size_t>(got);
    headRead_ = true;
    // A short read met the end of the file, wherever it has moved since the open.
    if (headLength_ < kHeadSize) length_ = headLength_;
  }
  if (position >= headLength_) return 0;
  const std::size_t count = std::min<std::uint64_t>(size, headLength_ - position);
  std::memcpy(buffer, head_.data() + position, count);
  return count;
}

std::size_t FileByteSource::ReadFromFile(std::uint64_t position, void* buffer, std::size_t size) {
  auto* bytes = static_cast<unsigned char*>(buffer);
  std::size_t done = 0;
  // pread may return fewer bytes than asked before the end of the file (signals, pipes);
  // only a zero return means the end.
  while (done < size) {
    const ssize_t got =
        ::pread(fd_, bytes + done, size - done, static_cast<off_t>(position + done));
    if (got < 0) {
      if (errno == EINTR) continue;
      ThrowIoError("cannot read the file");
    }
    if (got == 0) break;
    done += static_cast<std::size_t>(got);
  }
  return done;
}

}  // namespace lumio
