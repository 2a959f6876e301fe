#include "encode/child/opusenc_progress.h"

#include <charconv>

namespace lumio {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// "00:01:03.18" at the start of `text`: the encoded time opusenc shows.
bool StartsWithTime(std::string_view text) {
  constexpr std::string_view kShape = "00:00:00";
  if (text.size() < kShape.size()) return false;
  for (std::size_t i = 0; i < kShape.size(); ++i) {
    if (kShape[i] == ':' ? text[i] != ':' : !IsDigit(text[i])) return false;
  }
  return true;
}

}  // namespace

ProgressLine ReadOpusencProgressLine(std::string_view line) {
  // The spinner: one character between brackets.
  if (line.size() < 4 || line[0] != '[' || line[2] != ']' || line[3] != ' ') return {};
  std::string_view rest = line.substr(3);
  while (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
  if (StartsWithTime(rest)) return {true, {}};
  int percent = 0;
  const auto [end, error] = std::from_chars(rest.data(), rest.data() + rest.size(), percent);
  if (error != std::errc() || end == rest.data() + rest.size() || *end != '%' || percent < 0 ||
      percent > 100) {
    return {};
  }
  return {true, percent / 100.0};
}

}  // namespace lumio
