#pragma once

class QWidget;

namespace lumio {

// Asks the window manager to keep `window` above `mainWindow` (its transient parent)
// without making it a Qt child, which would share the main window's disabled state.
// Does nothing until both windows exist on the screen.
void KeepAboveMainWindow(QWidget& window, const QWidget* mainWindow);

}  // namespace lumio
