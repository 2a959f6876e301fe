#pragma once

#include <QUrl>
#include <functional>

class QObject;

namespace lumio {

// Asks the desktop to open a file or address, and tells `done` afterwards whether it
// did. Injected, so that tests can stand in for the desktop.
using UrlOpener = std::function<void(const QUrl& url, std::function<void(bool opened)> done)>;

// The desktop's own opener. QDesktopServices::openUrl says only whether a launcher
// started, not whether anything could open the file (xdg-open ends with status 3 when
// no program is registered for it), so where xdg-open exists it is run directly and
// its exit status decides; elsewhere openUrl's answer does. Never waits: `done` runs
// from the event loop once xdg-open has ended, and not at all once `owner` is gone.
UrlOpener DesktopUrlOpener(QObject& owner);

}  // namespace lumio
