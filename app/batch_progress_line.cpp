#include "app/batch_progress_line.h"

#include <algorithm>
#include <cmath>

namespace lumio {

namespace {

constexpr std::size_t kBarColumns = 20;
constexpr std::string_view kEllipsis = "…";

// The code point at `pos` and its length in bytes; a stray byte counts as one character.
std::pair<char32_t, std::size_t> DecodeAt(std::string_view text, std::size_t pos) {
  const auto lead = static_cast<unsigned char>(text[pos]);
  const std::size_t length = lead < 0x80    ? 1
                             : lead >= 0xF0 ? 4
                             : lead >= 0xE0 ? 3
                             : lead >= 0xC0 ? 2
                                            : 1;
  if (pos + length > text.size()) return {lead, 1};
  char32_t point = length == 1 ? lead : lead & (0x7F >> length);
  for (std::size_t i = 1; i < length; ++i) {
    const auto next = static_cast<unsigned char>(text[pos + i]);
    if ((next & 0xC0) != 0x80) return {lead, 1};
    point = (point << 6) | (next & 0x3F);
  }
  return {point, length};
}

bool IsWide(char32_t point) {
  return (point >= 0x1100 && point <= 0x115F) || (point >= 0x2E80 && point <= 0xA4CF) ||
         (point >= 0xAC00 && point <= 0xD7A3) || (point >= 0xF900 && point <= 0xFAFF) ||
         (point >= 0xFE30 && point <= 0xFE4F) || (point >= 0xFF00 && point <= 0xFF60) ||
         (point >= 0xFFE0 && point <= 0xFFE6) || (point >= 0x1F300 && point <= 0x1F64F) ||
         (point >= 0x20000 && point <= 0x3FFFD);
}

std::string MinutesAndSeconds(std::int64_t milliseconds) {
  const std::int64_t seconds = (std::max<std::int64_t>(milliseconds, 0) + 999) / 1000;
  const std::int64_t rest = seconds % 60;
  return std::to_string(seconds / 60) + (rest < 10 ? ":0" : ":") + std::to_string(rest);
}

}  // namespace

std::size_t TerminalColumns(std::string_view text) {
  std::size_t columns = 0;
  for (std::size_t pos = 0; pos < text.size();) {
    const auto [point, length] = DecodeAt(text, pos);
    columns += IsWide(point) ? 2 : 1;
    pos += length;
  }
  return columns;
}

std::string FitToColumns(std::string_view text, std::size_t columns) {
  if (TerminalColumns(text) <= columns) return std::string(text);
  if (columns == 0) return {};
  std::size_t used = 0;
  std::size_t pos = 0;
  while (pos < text.size()) {
    const auto [point, length] = DecodeAt(text, pos);
    const std::size_t width = IsWide(point) ? 2 : 1;
    if (used + width > columns - 1) break;  // one column stays for the ellipsis
    used += width;
    pos += length;
  }
  return std::string(text.substr(0, pos)) + std::string(kEllipsis);
}

std::string ProgressLine(const ProgressLineState& state, std::size_t width, bool japanese) {
  const double fraction = std::clamp(state.fraction, 0.0, 1.0);
  const auto filled = static_cast<std::size_t>(std::floor(fraction * kBarColumns));
  std::string line = std::to_string(state.finished) + "/" + std::to_string(state.total) + " " +
                     std::to_string(static_cast<int>(std::floor(fraction * 100))) + "% [" +
                     std::string(filled, '#') + std::string(kBarColumns - filled, '-') + "]";
  if (state.remainingMs) {
    const std::string left = MinutesAndSeconds(*state.remainingMs);
    line += japanese ? " 残り " + left : " " + left + " left";
  }
  std::string names;
  for (const std::string& name : state.running) {
    names += (names.empty() ? "" : ", ") + name;
  }
  if (!names.empty()) line += "  " + names;
  return FitToColumns(line, width);
}

}  // namespace lumio
