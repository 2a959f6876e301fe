#include "core/natural_order.h"

namespace lumio {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

char Folded(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// The digit run starting at `pos`, without its leading zeros; `pos` moves past the run.
std::string_view DigitRun(std::string_view text, std::size_t& pos) {
  while (pos < text.size() && text[pos] == '0') ++pos;
  const std::size_t start = pos;
  while (pos < text.size() && IsDigit(text[pos])) ++pos;
  return text.substr(start, pos - start);
}

// Negative, zero or positive as `left` comes before, with, or after `right`.
int Compare(std::string_view left, std::string_view right) {
  std::size_t l = 0;
  std::size_t r = 0;
  while (l < left.size() && r < right.size()) {
    if (IsDigit(left[l]) && IsDigit(right[r])) {
      const std::string_view leftRun = DigitRun(left, l);
      const std::string_view rightRun = DigitRun(right, r);
      // Without leading zeros, the longer run is the larger number.
      if (leftRun.size() != rightRun.size()) return leftRun.size() < rightRun.size() ? -1 : 1;
      if (const int order = leftRun.compare(rightRun); order != 0) return order;
      continue;
    }
    const auto a = static_cast<unsigned char>(Folded(left[l]));
    const auto b = static_cast<unsigned char>(Folded(right[r]));
    if (a != b) return a < b ? -1 : 1;
    ++l;
    ++r;
  }
  return (l < left.size()) - (r < right.size());
}

}  // namespace

bool NaturalLess(std::string_view left, std::string_view right) {
  const int order = Compare(left, right);
  return order != 0 ? order < 0 : left < right;
}

}  // namespace lumio
