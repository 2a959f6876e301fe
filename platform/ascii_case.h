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

// Whether `a` and `b` are the same text but for the letter case of their ASCII letters,
// as the names of comment fields compare.
inline bool SameTextIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i];
    char y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

}  // namespace lumio
