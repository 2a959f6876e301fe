#pragma once

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

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

// Starts `arguments` in `folder` with the given standard input and output (-1: /dev/null)
// and standard error on /dev/null, closing `toClose` in the child; no shell, as xargs
// would. The child's pid, or -1.
inline pid_t Spawn(const std::vector<std::string>& arguments, const std::string& folder,
                   int input = -1, int output = -1, const std::vector<int>& toClose = {}) {
  std::vector<char*> argv;
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  const pid_t child = fork();
  if (child == 0) {
    const int null = open("/dev/null", O_RDWR);
    dup2(input >= 0 ? input : null, 0);
    dup2(output >= 0 ? output : null, 1);
    dup2(null, 2);
    for (const int descriptor : toClose) close(descriptor);
    if (chdir(folder.c_str()) != 0) _exit(127);
    execv(argv[0], argv.data());
    _exit(127);
  }
  return child;
}

// The baseline: the argument vectors run with at most `parallel` at a time, the next one
// started as soon as one ends (what `xargs -P` does; a loop when `parallel` is 1).
inline bool RunAllDirectly(const std::vector<std::vector<std::string>>& vectors,
                           const std::string& folder, int parallel) {
  std::size_t next = 0;
  int running = 0;
  bool allGood = true;
  while (next < vectors.size() || running > 0) {
    while (running < parallel && next < vectors.size()) {
      if (Spawn(vectors[next++], folder) < 0) return false;
      ++running;
    }
    int status = 0;
    if (wait(&status) < 0) return false;
    --running;
    allGood = allGood && WIFEXITED(status) && WEXITSTATUS(status) == 0;
  }
  return allGood;
}

}  // namespace lumio::bench
