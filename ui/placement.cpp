#include "ui/placement.h"

#include <QPointer>
#include <QWidget>

namespace lumio {

namespace {

QPointer<QWidget>& RegisteredMainWindow() {
  static QPointer<QWidget> mainWindow;
  return mainWindow;
}

}  // namespace

int CenterOnMainWindow(int size, Direction direction, const QRect& mainFrame) {
  // Integer division in C++ truncates toward zero, which is the rounding wanted here
  // also for windows larger than the main window.
  const int position = direction == Direction::Horizontal
                           ? mainFrame.left() + (mainFrame.width() - size) / 2
                           : mainFrame.top() + (mainFrame.height() - size) / 2;
  return position < 0 ? 0 : position;
}

int CenterOnMainWindow(int size, Direction direction) {
  const QWidget* mainWindow = RegisteredMainWindow();
  const QRect frame = mainWindow != nullptr ? mainWindow->frameGeometry() : QRect();
  return CenterOnMainWindow(size, direction, frame);
}

void RegisterMainWindowForPlacement(QWidget* mainWindow) { RegisteredMainWindow() = mainWindow; }

QWidget* MainWindowForPlacement() { return RegisteredMainWindow(); }

QSize OuterSize(const QWidget& window) {
  const QSize frame = window.frameGeometry().size();
  const QWidget* mainWindow = RegisteredMainWindow();
  if (frame != window.size() || mainWindow == nullptr || mainWindow == &window) return frame;
  return frame + (mainWindow->frameGeometry().size() - mainWindow->size());
}

void PlaceCentredOverMainWindow(QWidget& window) {
  const QSize outer = OuterSize(window);
  const int top = CenterOnMainWindow(outer.height(), Direction::Vertical);
  const int left = CenterOnMainWindow(outer.width(), Direction::Horizontal);
  window.move(left, top);
}

}  // namespace lumio
