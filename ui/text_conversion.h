#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace lumio {

// The program's byte strings are in the system's code page; Qt's texts are UTF-16.
inline QString ToQString(std::string_view bytes) {
  return QString::fromLocal8Bit(bytes.data(), static_cast<qsizetype>(bytes.size()));
}
inline std::string ToBytes(const QString& text) { return text.toLocal8Bit().toStdString(); }

}  // namespace lumio
