#pragma once

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "platform/file_system.h"

namespace lumio::bench {

// The wall clock in seconds, for timing whole rounds.
inline double WallSeconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// CPU time of this process (its finishing threads among them), in seconds.
inline double OwnCpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  const auto seconds = [](const timeval& time) { return time.tv_sec + time.tv_usec / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// The oggenc on PATH; empty, with the reason on standard error, when there is none.
inline std::string FindOggencOrSay() {
  const std::string oggenc = FindOnSearchPath("oggenc");
  if (oggenc.empty()) std::fprintf(stderr, "oggenc is not installed\n");
  return oggenc;
}

}  // namespace lumio::bench
