#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

namespace lumio::test {

// Makes a named pipe at `path`: opening it to read waits until a writer comes, and
// reading it waits for bytes that never come.
inline bool MakeFifo(const std::string& path) { return ::mkfifo(path.c_str(), 0644) == 0; }

// Lets go a reader held by the pipe at `path`, if there is one: a writer comes and goes
// at once, so that the reader sees the end of the pipe.
inline void ReleaseFifo(const std::string& path) {
  const int writer = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
  if (writer >= 0) ::close(writer);
}

}  // namespace lumio::test
