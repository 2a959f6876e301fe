#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace lumio {

// Random-access, read-only bytes: a file on disk, or bytes held in memory (tests).
// Failures throw SourceReadError.
class ByteSource {
 public:
  virtual ~ByteSource() = default;

  virtual std::uint64_t Length() = 0;

  // Reads up to `size` bytes starting at `position` into `buffer` and returns how many
  // were read; fewer than `size` only at the end of the bytes.
  virtual std::size_t ReadAt(std::uint64_t position, void* buffer, std::size_t size) = 0;
};

// Bytes held in memory; the caller keeps them alive while the source is used.
class MemoryByteSource : public ByteSource {
 public:
  explicit MemoryByteSource(std::string_view bytes) : bytes_(bytes) {}

  std::uint64_t Length() override { return bytes_.size(); }
  std::size_t ReadAt(std::uint64_t position, void* buffer, std::size_t size) override;

 private:
  std::string_view bytes_;
};

// A regular file opened read-only, closed when the source is destroyed; anything else
// (a pipe, a device, a folder) throws SourceReadError without being read, and opening
// never waits. Other programs may read and write the file meanwhile. The first few
// kilobytes, where headers and most tags lie, are read once with one call and served
// from memory afterwards.
class FileByteSource : public ByteSource {
 public:
  explicit FileByteSource(const std::string& path);
  ~FileByteSource() override;
  FileByteSource(const FileByteSource&) = delete;
  FileByteSource& operator=(const FileByteSource&) = delete;

  std::uint64_t Length() override;
  std::size_t ReadAt(std::uint64_t position, void* buffer, std::size_t size) override;

 private:
  static constexpr std::size_t kHeadSize = 4096;

  std::size_t ReadFromFile(std::uint64_t position, void* buffer, std::size_t size);

  int fd_ = -1;
  // The first kHeadSize bytes, or the whole file when shorter: headLength_ of them.
  std::array<char, kHeadSize> head_;
  std::size_t headLength_ = 0;
  bool headRead_ = false;
  std::uint64_t length_ = 0;  // as the file was opened
};

}  // namespace lumio
