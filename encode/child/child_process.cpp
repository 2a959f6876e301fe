#include "encode/child/child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>

#include "encode/child/encoder_process.h"
#include "platform/file_system.h"

namespace lumio {

namespace {

// What a child that could not run its program writes into the failure pipe.
struct ChildFailure {
  char step[8];  // "chdir" or "execvp", as the start error names it
  int error;     // errno
};

// The child's program, arguments and folder as C strings, made before the fork: between
// fork and exec nothing may allocate.
struct ChildImage {
  std::vector<std::string> arguments;
  std::vector<char*> argv;
  std::string folder;
};

std::shared_ptr<const ChildImage> MakeImage(const std::vector<std::string>& arguments,
                                            const std::string& workingFolder) {
  auto image = std::make_shared<ChildImage>();
  image->arguments = arguments;
  // execv does not search $PATH; a bare name is looked up here, where a search may
  // allocate. Not found, it stays as it is and the child reports it missing.
  std::string& program = image->arguments.front();
  if (program.find('/') == std::string::npos) {
    if (std::string found = FindOnSearchPath(program); !found.empty()) program = std::move(found);
  }
  for (std::string& argument : image->arguments) image->argv.push_back(argument.data());
  image->argv.push_back(nullptr);
  image->folder = workingFolder;
  return image;
}

QString DisplayText(const std::string& bytes) {
  return QString::fromLocal8Bit(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

// Runs in the child: tells the parent which step failed and ends the child.
[[noreturn]] void FailChild(int failurePipe, const char* step) {
  ChildFailure failure{};
  std::strncpy(failure.step, step, sizeof failure.step - 1);
  failure.error = errno;
  [[maybe_unused]] const ssize_t written = ::write(failurePipe, &failure, sizeof failure);
  ::_exit(127);
}

}  // namespace

ChildLaunch::~ChildLaunch() {
  if (failureRead_ >= 0) ::close(failureRead_);
}

void ChildLaunch::Start(QProcess& process, const std::vector<std::string>& arguments,
                        EncodePriority priority, const std::string& workingFolder) {
  if (arguments.empty() || arguments.front().empty()) {
    process.start(QString(), {}, QIODevice::ReadOnly);  // QProcess reports no program
    return;
  }
  int failurePipe[2] = {-1, -1};
  if (::pipe2(failurePipe, O_CLOEXEC | O_NONBLOCK) != 0) {
    failurePipe[0] = failurePipe[1] = -1;
  }
  if (failureRead_ >= 0) ::close(failureRead_);
  failureRead_ = failurePipe[0];
  const int failureWrite = failurePipe[1];
  const std::shared_ptr<const ChildImage> image = MakeImage(arguments, workingFolder);
  const std::optional<int> nice = NiceValueForPriority(priority);
  const pid_t parent = ::getpid();
  // Runs in the child between fork and exec, so only async-signal-safe calls. A refused
  // priority raise leaves the inherited one. The death signal ends the child with this
  // program even when the program is killed; should the program already be gone when it
  // is set, the child ends at once. The failure pipe closes by itself when exec works.
  process.setChildProcessModifier([nice, parent, image, failureWrite] {
    if (nice) {
      ::setpriority(PRIO_PROCESS, 0, *nice);
    }
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != parent) {
      ::_exit(127);
    }
    if (!image->folder.empty() && ::chdir(image->folder.c_str()) != 0) {
      FailChild(failureWrite, "chdir");
    }
    ::execv(image->argv.front(), image->argv.data());
    FailChild(failureWrite, "execvp");
  });
  // QProcess needs a program to start; the child never runs this text. Shown only in
  // QProcess's own errors, it needs no exact bytes.
  process.start(DisplayText(image->arguments.front()), {}, QIODevice::ReadOnly);
  if (failureWrite >= 0) ::close(failureWrite);
}

std::optional<std::string> ChildLaunch::StartFailure() {
  if (failureRead_ < 0) return std::nullopt;
  // The child writes before it exits, and QProcess says `started` only once the child
  // has run its program or exited, so the record is whole by now or never comes; the
  // read never waits.
  ChildFailure failure{};
  const ssize_t count = ::read(failureRead_, &failure, sizeof failure);
  ::close(failureRead_);
  failureRead_ = -1;
  if (count != static_cast<ssize_t>(sizeof failure)) return std::nullopt;
  failure.step[sizeof failure.step - 1] = '\0';
  return std::string(failure.step) + ": " + std::strerror(failure.error);
}

}  // namespace lumio
