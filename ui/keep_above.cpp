#include "ui/keep_above.h"

#include <QWidget>
#include <QWindow>

namespace lumio {

void KeepAboveMainWindow(QWidget& window, const QWidget* mainWindow) {
  if (mainWindow != nullptr && mainWindow->windowHandle() != nullptr &&
      window.windowHandle() != nullptr) {
    window.windowHandle()->setTransientParent(mainWindow->windowHandle());
  }
}

}  // namespace lumio
