#include "encode/run/progress_counters.h"

namespace lumio {

void ElapsedCount::Tick() {
  if (seconds < 59) {
    ++seconds;
  } else {
    ++minutes;
    seconds = 0;
  }
}

void ProgressCounters::ZeroAll() {
  total_ = {};
  file_ = {};
}

void ProgressCounters::Tick() {
  total_.Tick();
  file_.Tick();
}

void ProgressCounters::ResetFileCount() { file_ = {}; }

}  // namespace lumio
