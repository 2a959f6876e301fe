#pragma once

#include <cstddef>
#include <string_view>

namespace lumio {

// Whether `text` spells `lower` (lower-case ASCII) in any letter case. Bytes outside
// ASCII compare as they are, so multibyte text never matches by accident.
inline bool SameIgnoringAsciiCase(std::string_view text, std::string_view lower) {
  if (text.size() != lower.size()) return false;
  for (std::size_t i = 0; i < lower.size(); ++i) {
    char c = text[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != lower[i]) return false;
  }
  return true;
}

}  // namespace lumio
