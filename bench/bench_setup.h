#pragma once

#include <chrono>
#include <cstdio>
#include <string>

#include "platform/file_system.h"

namespace lumio::bench {

// The wall clock in seconds, for timing whole rounds.
inline double WallSeconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// The oggenc on PATH; empty, with the reason on standard error, when there is none.
inline std::string FindOggencOrSay() {
  const std::string oggenc = FindOnSearchPath("oggenc");
  if (oggenc.empty()) std::fprintf(stderr, "oggenc is not installed\n");
  return oggenc;
}

}  // namespace lumio::bench
