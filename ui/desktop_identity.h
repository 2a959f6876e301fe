#pragma once

#include <QIcon>

namespace lumio {

// The program's icon (the one the menu entry shows), drawn from its SVG at the sizes
// that title bars, task bars and docks ask for.
QIcon LumioIcon();

// Tells the desktop which menu entry the windows belong to, so that docks and task bars
// group them under the launcher's icon: the application name "lumio" (the X11 window
// class, matching StartupWMClass), the desktop file's name (the Wayland app id), and the
// icon on every window. Called once the QApplication stands.
void SetDesktopIdentity();

}  // namespace lumio
