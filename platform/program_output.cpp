#include "platform/program_output.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <thread>

extern char** environ;

namespace lumio {

namespace {

// Both ends of a pipe, closed when they go out of scope.
struct Pipe {
  int read = -1;
  int write = -1;
  ~Pipe() {
    if (read >= 0) ::close(read);
    if (write >= 0) ::close(write);
  }
};

}  // namespace

std::optional<std::string> ProgramOutput(const std::vector<std::string>& arguments,
                                         std::chrono::milliseconds timeout, std::size_t limit) {
  if (arguments.empty()) return std::nullopt;
  Pipe pipe;
  int ends[2];
  if (::pipe2(ends, O_CLOEXEC) != 0) return std::nullopt;
  pipe.read = ends[0];
  pipe.write = ends[1];

  std::vector<char*> argv;
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  const pid_t parent = ::getpid();
  const pid_t child = ::fork();
  if (child < 0) return std::nullopt;
  if (child == 0) {
    // Between fork and exec, so only async-signal-safe calls. The death signal ends the
    // program with Lumio, however Lumio ends; should Lumio already be gone when it is
    // set, the program does not start.
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != parent) ::_exit(127);
    const int input = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    const int error = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (input < 0 || error < 0 || ::dup2(input, 0) < 0 || ::dup2(pipe.write, 1) < 0 ||
        ::dup2(error, 2) < 0) {
      ::_exit(127);
    }
    ::execve(argv[0], argv.data(), environ);
    ::_exit(127);
  }
  ::close(pipe.write);
  pipe.write = -1;

  std::string output;
  bool complete = false;
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (true) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) break;
    pollfd readable{pipe.read, POLLIN, 0};
    const int ready = ::poll(&readable, 1, static_cast<int>(left.count()));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) break;
    char bytes[4096];
    const ssize_t count = ::read(pipe.read, bytes, sizeof bytes);
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) {
      complete = count == 0;
      break;
    }
    output.append(bytes,
                  static_cast<std::size_t>(std::min<std::size_t>(
                      static_cast<std::size_t>(count), limit - std::min(limit, output.size()))));
  }
  // A program that has not ended in time is stopped: the caller must not wait for
  // whatever a hostile input makes it do.
  int status = 0;
  while (complete && ::waitpid(child, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() >= deadline) {
      complete = false;
    } else {
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
  }
  if (!complete) {
    ::kill(child, SIGKILL);
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return std::nullopt;
  }
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
  return output;
}

}  // namespace lumio
