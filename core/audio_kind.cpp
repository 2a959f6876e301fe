#include "core/audio_kind.h"

#include <algorithm>
#include <string>

namespace lumio {

AudioKind AudioKindOf(std::string_view path, const PathRules& rules) {
  const std::string name = FileNamePart(path, rules);
  const std::size_t dot = FindLastCharacter(name, ".", rules.codePage);
  if (dot == std::string::npos) return AudioKind::Unsupported;
  std::string extension = name.substr(dot + 1);
  // Only ASCII letters are folded: a byte of a multibyte character is left as it is.
  std::transform(extension.begin(), extension.end(), extension.begin(), [](char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  });
  if (extension == "wav") return AudioKind::Wave;
  if (extension == "flac") return AudioKind::Flac;
  if (extension == "aif" || extension == "aiff" || extension == "aifc") return AudioKind::Aiff;
  return AudioKind::Unsupported;
}

}  // namespace lumio
