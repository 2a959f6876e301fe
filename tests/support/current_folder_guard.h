#pragma once

#include <unistd.h>

#include <string>

#include "platform/file_system.h"

namespace lumio::test {

// Makes `path` the process's current folder, for a test of how relative paths are read;
// the program itself never changes it after start-up.
inline bool SetCurrentFolder(const std::string& path) {
  return !path.empty() && ::chdir(path.c_str()) == 0;
}

// Puts the process's current folder back after a test that moved it.
class CurrentFolderGuard {
 public:
  CurrentFolderGuard() : saved_(CurrentFolder()) {}
  ~CurrentFolderGuard() { SetCurrentFolder(saved_); }
  CurrentFolderGuard(const CurrentFolderGuard&) = delete;
  CurrentFolderGuard& operator=(const CurrentFolderGuard&) = delete;

 private:
  std::string saved_;
};

}  // namespace lumio::test
