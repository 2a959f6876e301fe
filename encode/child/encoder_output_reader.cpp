#include "encode/child/encoder_output_reader.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace lumio {

namespace {

std::string_view TrimmedBlanks(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

// "[ 45.3%]" at the start of `line`: the share it gives.
std::optional<double> ReadPercent(std::string_view line) {
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
  return percent / 100;
}

bool HoldsWord(std::string_view line, std::string_view lowerCaseWord) {
  return std::search(line.begin(), line.end(), lowerCaseWord.begin(), lowerCaseWord.end(),
                     [](char a, char b) {
                       return std::tolower(static_cast<unsigned char>(a)) == b;
                     }) != line.end();
}

// "ERROR: …", and the failures that do not say "error" ("Failed writing data to output
// stream" on a full disk).
bool IsErrorLine(std::string_view line) {
  return HoldsWord(line, "error") || HoldsWord(line, "failed");
}

}  // namespace

ProgressLine ReadOggencProgressLine(std::string_view line) {
  if (const std::optional<double> fraction = ReadPercent(line)) return {true, fraction};
  // Reading a pipe, whose length it cannot know, the encoder tells only its own running
  // time.
  return {line.starts_with("Encoding [") && line.find(" so far]") != std::string_view::npos, {}};
}

void EncoderOutputReader::Feed(std::string_view bytes) {
  lines_.Feed(bytes, [this](std::string_view line) { ReadLine(line); });
}

void EncoderOutputReader::Finish() {
  lines_.Finish([this](std::string_view line) { ReadLine(line); });
}

void EncoderOutputReader::ReadLine(std::string_view line) {
  line = TrimmedBlanks(line);
  if (line.empty()) return;
  if (const ProgressLine progress = progress_(line); progress.progress) {
    if (progress.fraction) fraction_ = progress.fraction;
    return;
  }
  lastMessageLine_.assign(line);
  if (IsErrorLine(line)) {
    lastErrorLine_.assign(line);
  }
}

}  // namespace lumio
