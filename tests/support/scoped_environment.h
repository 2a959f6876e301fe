#pragma once

#include <stdlib.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace lumio::test {

// Sets environment variables for one test (and the programs it starts) and puts the old
// values back afterwards, however the test ends. A name may be set more than once.
class ScopedEnvironment {
 public:
  ScopedEnvironment() = default;
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

  ScopedEnvironment& Set(const std::string& name, const std::string& value) {
    const char* old = std::getenv(name.c_str());
    saved_.emplace_back(name, old == nullptr ? std::nullopt : std::optional<std::string>(old));
    ::setenv(name.c_str(), value.c_str(), 1);
    return *this;
  }
  ~ScopedEnvironment() {
    for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
      if (it->second) {
        ::setenv(it->first.c_str(), it->second->c_str(), 1);
      } else {
        ::unsetenv(it->first.c_str());
      }
    }
  }

 private:
  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

}  // namespace lumio::test
