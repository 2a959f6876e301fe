#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace lumio::test {

// The bytes of `spans` one after another, as a file written from them holds them.
inline std::string Joined(const std::vector<std::string_view>& spans) {
  std::string joined;
  for (const std::string_view span : spans) joined += span;
  return joined;
}

}  // namespace lumio::test
