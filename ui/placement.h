#pragma once

#include <QRect>
#include <QSize>

class QWidget;

namespace lumio {

enum class Direction { Horizontal, Vertical };

// The left (horizontal) or top (vertical) edge that centres a window of outer size
// `size` over `mainFrame`, the main window's outer frame; the halving truncates toward
// zero and a negative result becomes 0.
int CenterOnMainWindow(int size, Direction direction, const QRect& mainFrame);

// The same over the program's main window, registered once at start-up.
int CenterOnMainWindow(int size, Direction direction);
void RegisterMainWindowForPlacement(QWidget* mainWindow);
// The main window registered above (nullptr when none is, or it has been destroyed);
// message boxes take it as their parent.
QWidget* MainWindowForPlacement();

// The outer size of `window`, frame included. A window that has never been mapped has no
// frame yet; it is taken to get the same decoration as the main window.
QSize OuterSize(const QWidget& window);

// Moves `window` so that it stands centred over the main window.
void PlaceCentredOverMainWindow(QWidget& window);

}  // namespace lumio
