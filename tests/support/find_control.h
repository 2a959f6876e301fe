#pragma once

#include <QDialog>
#include <QList>
#include <QObject>
#include <QString>
#include <stdexcept>
#include <string>

namespace lumio::test {

// The control of `window` whose object name is `name`. Controls of a dialog that the
// window owns (the setup window under the main window) belong to that dialog and are
// not found here. A control that is missing, of another type, or whose name two
// controls share throws, which fails the test (or ends the benchmark) with the reason.
template <class T>
T& Control(const QObject& window, const char* name) {
  const auto ownedByWindow = [&window](const QObject* control) {
    for (const QObject* owner = control->parent(); owner != &window; owner = owner->parent()) {
      if (owner == nullptr || qobject_cast<const QDialog*>(owner) != nullptr) {
        return false;
      }
    }
    return true;
  };
  QList<T*> found;
  for (T* control : window.findChildren<T*>(QString::fromLatin1(name))) {
    if (ownedByWindow(control)) {
      found.push_back(control);
    }
  }
  if (found.size() != 1) {
    throw std::runtime_error(std::to_string(found.size()) + " controls named \"" + name +
                             "\" of the type asked for in " + window.metaObject()->className());
  }
  return *found.front();
}

}  // namespace lumio::test
