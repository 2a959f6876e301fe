#include "app/bounded_pool_wait.h"

#include <QThreadPool>
#include <cstdio>
#include <cstdlib>

namespace lumio {

namespace {

// Long enough for a thumbnail of a picture that can be read; a user asking Lumio to end
// waits no longer.
constexpr int kPoolWaitMs = 500;

}  // namespace

BoundedPoolWait::~BoundedPoolWait() {
  if (QThreadPool::globalInstance()->waitForDone(kPoolWaitMs)) return;
  std::fflush(nullptr);
  std::_Exit(status_);
}

}  // namespace lumio
