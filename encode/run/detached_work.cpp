#include "encode/run/detached_work.h"

#include <QMetaObject>
#include <mutex>
#include <thread>

namespace lumio {

struct DetachedWork::State {
  std::mutex lock;
  bool dropped = false;
};

std::shared_ptr<DetachedWork> DetachedWork::Start(QObject& receiver, std::function<void()> work,
                                                  std::function<void()> deliver,
                                                  std::function<void()> afterDrop) {
  auto state = std::make_shared<State>();
  std::thread([state, target = &receiver, work = std::move(work), deliver = std::move(deliver),
               afterDrop = std::move(afterDrop)]() mutable {
    work();
    std::unique_lock held(state->lock);
    if (state->dropped) {
      held.unlock();
      if (afterDrop) afterDrop();
      return;
    }
    // Posted under the lock: Drop, which the receiver calls before it goes, takes it
    // too, so the receiver is alive here. Should it go before the call is delivered,
    // Qt discards the call with it.
    QMetaObject::invokeMethod(
        target,
        [state, deliver = std::move(deliver)] {
          if (!state->dropped) deliver();
        },
        Qt::QueuedConnection);
  }).detach();
  return std::shared_ptr<DetachedWork>(new DetachedWork(std::move(state)));
}

void DetachedWork::Drop() {
  const std::lock_guard held(state_->lock);
  state_->dropped = true;
}

}  // namespace lumio
