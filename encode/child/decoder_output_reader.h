#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "encode/child/output_lines.h"

namespace lumio {

// Reads what the decoder writes to its standard error, in pieces of any size: the
// `key=value` lines of its progress report, of which `out_time_us=` tells how far into
// the source it has decoded and, in the closing report ("progress=end"), how much it
// wrote in all; and its error messages, of which the last is the reason when it fails.
class DecoderOutputReader {
 public:
  void Feed(std::string_view bytes);
  // The decoder has ended: a line it left without a line end is read as complete.
  void Finish();

  // Milliseconds of the source decoded so far; nullopt before the first report.
  std::optional<std::int64_t> DecodedMs() const {
    return decodedUs_ ? std::optional<std::int64_t>(*decodedUs_ / 1000) : std::nullopt;
  }
  // Microseconds of sound written in all, from the closing report; nullopt until it came.
  std::optional<std::int64_t> WrittenUs() const { return writtenUs_; }
  // The last line that is no progress report; empty when none came.
  const std::string& LastMessageLine() const { return lastMessageLine_; }

 private:
  void ReadLine(std::string_view line);

  OutputLines lines_;
  std::optional<std::int64_t> decodedUs_;
  std::optional<std::int64_t> writtenUs_;
  std::string lastMessageLine_;
};

}  // namespace lumio
