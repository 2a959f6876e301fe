#include "encode/encoder_output_reader.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace lumio {

namespace {

constexpr long kMostMinutesLeft = 366L * 24 * 60;

std::string_view TrimmedBlanks(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

// "[ 45.3%]" at the start of `line`: the percentage, and what follows it.
std::optional<double> ReadPercent(std::string_view& line) {
  if (line.empty() || line.front() != '[') return std::nullopt;
  const std::size_t close = line.find("%]");
  if (close == std::string_view::npos) return std::nullopt;
  const std::string_view number = TrimmedBlanks(line.substr(1, close - 1));
  double percent = 0;
  const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), percent);
  if (error != std::errc() || end != number.data() + number.size() || !(percent >= 0) ||
      percent > 100) {
    return std::nullopt;
  }
  line.remove_prefix(close + 2);
  return percent / 100;
}

// "[ 0m12s remaining]": the seconds left.
std::optional<long> ReadRemaining(std::string_view line) {
  line = TrimmedBlanks(line);
  const std::size_t close = line.find(" remaining]");
  if (line.empty() || line.front() != '[' || close == std::string_view::npos) return std::nullopt;
  const std::string_view time = TrimmedBlanks(line.substr(1, close - 1));
  long minutes = 0;
  long seconds = 0;
  const char* at = time.data();
  const char* end = time.data() + time.size();
  auto [afterMinutes, minutesError] = std::from_chars(at, end, minutes);
  if (minutesError != std::errc() || afterMinutes == end || *afterMinutes != 'm') {
    return std::nullopt;
  }
  auto [afterSeconds, secondsError] = std::from_chars(afterMinutes + 1, end, seconds);
  // The encoder writes seconds below 60; a count of minutes beyond a year is no estimate.
  if (secondsError != std::errc() || afterSeconds + 1 != end || *afterSeconds != 's' ||
      minutes < 0 || minutes > kMostMinutesLeft || seconds < 0 || seconds > 59) {
    return std::nullopt;
  }
  return minutes * 60 + seconds;
}

bool IsErrorLine(std::string_view line) {
  constexpr std::string_view kMarker = "error";
  return std::search(line.begin(), line.end(), kMarker.begin(), kMarker.end(), [](char a, char b) {
           return std::tolower(static_cast<unsigned char>(a)) == b;
         }) != line.end();
}

}  // namespace

void EncoderOutputReader::Feed(std::string_view bytes) {
  lines_.Feed(bytes, [this](std::string_view line) { ReadLine(line); });
}

void EncoderOutputReader::Finish() {
  lines_.Finish([this](std::string_view line) { ReadLine(line); });
}

void EncoderOutputReader::ReadLine(std::string_view line) {
  line = TrimmedBlanks(line);
  if (line.empty()) return;
  std::string_view rest = line;
  if (const std::optional<double> fraction = ReadPercent(rest)) {
    fraction_ = *fraction;
    if (const std::optional<long> remaining = ReadRemaining(rest)) {
      remainingSeconds_ = *remaining;
    }
    return;
  }
  // Reading a pipe, whose length it cannot know, the encoder tells only its own running
  // time: "Encoding [ 0m12s so far] |".
  if (line.starts_with("Encoding [") && line.find(" so far]") != std::string_view::npos) return;
  lastMessageLine_.assign(line);
  if (IsErrorLine(line)) {
    lastErrorLine_.assign(line);
  }
}

}  // namespace lumio
