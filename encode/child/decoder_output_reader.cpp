#include "encode/child/decoder_output_reader.h"

#include <algorithm>
#include <charconv>

namespace lumio {

namespace {

// A progress report line: a lower-case key of letters, digits and '_', '=', and a value
// without blanks. The decoder's messages always hold a blank or a colon before any '='.
bool IsReportLine(std::string_view line) {
  const std::size_t equals = line.find('=');
  if (equals == 0 || equals == std::string_view::npos) return false;
  const std::string_view key = line.substr(0, equals);
  const bool keyIsWord = std::all_of(key.begin(), key.end(), [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
  });
  return keyIsWord && line.find(' ', equals) == std::string_view::npos;
}

}  // namespace

void DecoderOutputReader::Feed(std::string_view bytes) {
  lines_.Feed(bytes, [this](std::string_view line) { ReadLine(line); });
}

void DecoderOutputReader::Finish() {
  lines_.Finish([this](std::string_view line) { ReadLine(line); });
}

void DecoderOutputReader::ReadLine(std::string_view line) {
  while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) line.remove_suffix(1);
  if (line.empty()) return;
  if (!IsReportLine(line)) {
    lastMessageLine_.assign(line);
    return;
  }
  // Each report ends with "progress=continue", the last one with "progress=end": its
  // time is all the decoder wrote.
  if (line == "progress=end") {
    writtenUs_ = decodedUs_.value_or(0);
    return;
  }
  constexpr std::string_view kDecodedTime = "out_time_us=";
  if (!line.starts_with(kDecodedTime)) return;
  const std::string_view number = line.substr(kDecodedTime.size());
  std::int64_t microseconds = 0;
  const auto [end, error] =
      std::from_chars(number.data(), number.data() + number.size(), microseconds);
  // Before the first sample the decoder reports a negative time, or "N/A".
  if (error == std::errc() && end == number.data() + number.size() && microseconds >= 0) {
    decodedUs_ = microseconds;
  }
}

}  // namespace lumio
