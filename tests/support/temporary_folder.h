#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <system_error>

namespace lumio::test {

// Writes `bytes` to the file at `path`, replacing what was there.
inline bool WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out << bytes;
  return static_cast<bool>(out);
}

// The bytes of the file at `path`; empty when it cannot be read.
inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// A fresh folder of its own, removed with everything in it when the object goes. A
// folder or fixture file that cannot be made throws, so that the test fails at once
// instead of going on without its fixture.
class TemporaryFolder {
 public:
  explicit TemporaryFolder(
      const std::filesystem::path& parent = std::filesystem::temp_directory_path()) {
    std::string pattern = (parent / "lumio-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
      throw std::runtime_error("cannot make a temporary folder in " + parent.string());
    }
    path_ = pattern;
  }
  ~TemporaryFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TemporaryFolder(const TemporaryFolder&) = delete;
  TemporaryFolder& operator=(const TemporaryFolder&) = delete;

  // The folder, without a separator at the end.
  const std::string& Path() const { return path_; }
  std::string PathOf(const std::string& relative) const { return path_ + "/" + relative; }

  // Writes the file `relative` and returns its path.
  std::string Write(const std::string& relative, const std::string& bytes) const {
    const std::string path = PathOf(relative);
    if (!WriteFile(path, bytes)) throw std::runtime_error("cannot write the fixture " + path);
    return path;
  }
  std::string Read(const std::string& relative) const { return ReadFile(PathOf(relative)); }

 private:
  std::string path_;
};

}  // namespace lumio::test
