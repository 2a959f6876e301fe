#pragma once

#include <QObject>
#include <functional>
#include <memory>

namespace lumio {

// Work on a thread of its own that nothing ever waits for: not a pool, since the
// program's exit waits for Qt's global pool without limit, and a worker may be held up
// by what it reads (a stalled share, a pipe named like a picture). Its end is handed to
// the event loop; dropping the work lets the caller go on at once and forget it.
class DetachedWork {
 public:
  // Runs `work` (which must not throw) on a new thread, then `deliver` on the thread of
  // `receiver` unless the work has been dropped or `receiver` destroyed by then. Work
  // dropped before it has ended runs `afterDrop` on its thread once it ends instead, to
  // undo what it left (a file written). Throws std::system_error when no thread can be
  // started.
  static std::shared_ptr<DetachedWork> Start(QObject& receiver, std::function<void()> work,
                                             std::function<void()> deliver,
                                             std::function<void()> afterDrop = {});

  // From the receiver's thread: the end of the work is no longer delivered. Never
  // waits for the work; a receiver drops its work before it is destroyed.
  void Drop();

  DetachedWork(const DetachedWork&) = delete;
  DetachedWork& operator=(const DetachedWork&) = delete;

 private:
  struct State;
  explicit DetachedWork(std::shared_ptr<State> state) : state_(std::move(state)) {}

  std::shared_ptr<State> state_;
};

}  // namespace lumio
