#pragma once

#include <QEventLoop>
#include <QTimer>

#include "ui/main_window.h"

namespace lumio::test {

// Runs the event loop until `window` has added what it was given (its SourcesAdded
// signal); at once when it is adding nothing. False when that takes over 30 seconds.
inline bool WaitForAdding(TMainWindow& window) {
  if (!window.Adding()) return true;
  QEventLoop loop;
  bool added = false;
  QObject::connect(&window, &TMainWindow::SourcesAdded, &loop, [&] {
    added = true;
    loop.quit();
  });
  QTimer::singleShot(30000, &loop, &QEventLoop::quit);
  loop.exec();
  return added;
}

}  // namespace lumio::test
