#pragma once

#include <string>

#include "platform/file_system.h"

namespace lumio::test {

// Puts the process's current folder back after a test that ran encoders or a dialog
// that moved it.
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
