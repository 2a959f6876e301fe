#include "platform/exclusive_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

namespace lumio {

ExclusiveLock::ExclusiveLock(const std::string& path) {
  descriptor_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (descriptor_ < 0) return;
  if (::flock(descriptor_, LOCK_EX | LOCK_NB) == 0) {
    result_ = Outcome::Taken;
    return;
  }
  result_ = errno == EWOULDBLOCK ? Outcome::HeldElsewhere : Outcome::Failed;
  ::close(descriptor_);
  descriptor_ = -1;
}

ExclusiveLock::~ExclusiveLock() {
  if (descriptor_ >= 0) ::close(descriptor_);
}

}  // namespace lumio
