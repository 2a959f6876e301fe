#include "ui/wave_extension.h"

#include <string>

namespace lumio {

bool HasWaveExtension(std::string_view path, const PathRules& rules) {
  const std::string name = FileNamePart(path, rules);
  const std::size_t dot = FindLastCharacter(name, ".", rules.codePage);
  if (dot == std::string::npos) {
    return false;
  }
  const std::string_view extension = std::string_view(name).substr(dot);
  return extension == ".wav" || extension == ".WAV";
}

}  // namespace lumio
