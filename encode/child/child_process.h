#pragma once

#include <QProcess>
#include <optional>
#include <string>
#include <vector>

#include "core/settings_schema.h"

namespace lumio {

// Starts `process` from its argument vector (`arguments[0]` is the program, found on
// $PATH when it holds no '/'; never through a shell) in `workingFolder`, at the nice
// value of `priority`, bound to this program's life: it is sent SIGKILL should the
// program die first, however it dies. The program, its arguments and the folder reach
// the child as the exact bytes given, whether or not they are valid UTF-8; this
// program's own current folder is never changed.
//
// QProcess keeps the pipes and the signals, but it carries paths only as QString, which
// cannot hold every byte string a Linux name may be. So the child changes to the folder
// and runs the program itself, from byte vectors made before the fork. A child that
// cannot do either tells why through a pipe of its own and exits; QProcess then says
// `started` and `finished`, and the owner asks StartFailure once it hears `started`.
class ChildLaunch {
 public:
  ChildLaunch() = default;
  ~ChildLaunch();
  ChildLaunch(const ChildLaunch&) = delete;
  ChildLaunch& operator=(const ChildLaunch&) = delete;

  void Start(QProcess& process, const std::vector<std::string>& arguments, EncodePriority priority,
             const std::string& workingFolder);

  // After `process` has said `started`: why the child could not change to its folder or
  // run its program ("chdir: No such file or directory"), or nullopt when the program runs.
  std::optional<std::string> StartFailure();

 private:
  int failureRead_ = -1;
};

}  // namespace lumio
