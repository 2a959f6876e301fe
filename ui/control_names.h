#pragma once

#include <QString>

namespace lumio {

// Gives a window's control its name as the object name, by which code outside the
// window finds it (findChild); the name is never shown.
template <typename T>
T* Named(T* control, const char* name) {
  control->setObjectName(QLatin1StringView(name));
  return control;
}

}  // namespace lumio
