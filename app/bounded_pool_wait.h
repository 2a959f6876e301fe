#pragma once

namespace lumio {

// Qt's global thread pool is waited for without limit when the application object
// goes, and work there may be held up by a file (a thumbnail of a picture on a stalled
// share). Declared right after the application object, this waits for that pool at most
// a moment once everything declared after it has gone; work still running then is left
// behind: the process ends at once with the status being returned, its output flushed.
class BoundedPoolWait {
 public:
  BoundedPoolWait() = default;
  ~BoundedPoolWait();
  BoundedPoolWait(const BoundedPoolWait&) = delete;
  BoundedPoolWait& operator=(const BoundedPoolWait&) = delete;

  // Records `status` as the one the program returns, and returns it.
  int Ending(int status) {
    status_ = status;
    return status;
  }

 private:
  int status_ = 0;
};

}  // namespace lumio
