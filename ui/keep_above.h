#pragma once

class QWidget;

namespace lumio {

// Asks the window manager to keep `window` above `mainWindow` (its transient parent)
// without making it a Qt child, which would share the main window's disabled state.
// Only a window of a dialog type carries the hint on X11, and it is read when the window
// is mapped: call this before showing it. Does nothing until both windows exist.
void KeepAboveMainWindow(QWidget& window, const QWidget* mainWindow);

}  // namespace lumio
