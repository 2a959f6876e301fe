#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTimer>

#include "ui/main_window.h"

namespace lumio::test {

// Runs the event loop until `window` has added what it was given and told what it
// could not add (Adding() turns false); at once when it is adding nothing. Every step of
// the adding arrives as an event, after which the state is looked at again. False when
// that takes over 30 seconds.
inline bool WaitForAdding(TMainWindow& window) {
  constexpr int kPatienceMs = 30000;
  const QDeadlineTimer deadline(kPatienceMs);
  QTimer wake;  // ends the wait for events at the deadline
  wake.start(kPatienceMs);
  while (window.Adding() && !deadline.hasExpired()) {
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  }
  return !window.Adding();
}

}  // namespace lumio::test
