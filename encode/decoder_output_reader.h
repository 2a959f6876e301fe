#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "encode/output_lines.h"

namespace lumio {

// Reads what the decoder writes to its standard error, in pieces of any size: the
// `key=value` lines of its progress report, of which `out_time_us=` tells how far into
// the source it has decoded, and its error messages, of which the last is the reason
// when it fails.
class DecoderOutputReader {
 public:
  void Feed(std::string_view bytes);
  // The decoder has ended: a line it left without a line end is read as complete.
  void Finish();

  // Milliseconds of the source decoded so far; nullopt before the first report.
  std::optional<std::int64_t> DecodedMs() const { return decodedMs_; }
  // The last line that is no progress report; empty when none came.
  const std::string& LastMessageLine() const { return lastMessageLine_; }

 private:
  void ReadLine(std::string_view line);

  OutputLines lines_;
  std::optional<std::int64_t> decodedMs_;
  std::string lastMessageLine_;
};

}  // namespace lumio
