#include "encode/child_process.h"

#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QStringList>

#include "encode/encoder_process.h"

namespace lumio {

namespace {

QString ToProcessText(const std::string& bytes) {
  return QString::fromLocal8Bit(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

}  // namespace

void StartChildProcess(QProcess& process, const std::vector<std::string>& arguments,
                       EncodePriority priority, const std::string& workingFolder) {
  const std::optional<int> nice = NiceValueForPriority(priority);
  const pid_t parent = ::getpid();
  // Runs in the child between fork and exec, so only async-signal-safe calls. A refused
  // priority raise leaves the inherited one. The death signal ends the child with this
  // program even when the program is killed; should the program already be gone when it
  // is set, the child ends at once.
  process.setChildProcessModifier([nice, parent] {
    if (nice) {
      ::setpriority(PRIO_PROCESS, 0, *nice);
    }
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != parent) {
      ::_exit(127);
    }
  });
  process.setWorkingDirectory(ToProcessText(workingFolder));
  QStringList rest;
  for (std::size_t i = 1; i < arguments.size(); ++i) {
    rest.append(ToProcessText(arguments[i]));
  }
  process.start(ToProcessText(arguments.empty() ? std::string() : arguments[0]), rest,
                QIODevice::ReadOnly);
}

}  // namespace lumio
