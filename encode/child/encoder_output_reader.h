#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "encode/child/output_lines.h"

namespace lumio {

// One line of an encoder's standard error, its blanks trimmed, read as progress.
struct ProgressLine {
  bool progress = false;           // a progress line, which is never a message
  std::optional<double> fraction;  // the share done, 0 to 1, when the line tells it
};
using ProgressLineReader = ProgressLine (*)(std::string_view line);

// oggenc's progress lines: "[ 45.3%] [ 0m12s remaining] |", and "Encoding [ 0m12s so
// far] |" when it reads a pipe.
ProgressLine ReadOggencProgressLine(std::string_view line);

// Reads what the encoder writes to its standard error as it comes, in pieces of any
// size: its progress lines ("\t[ 45.3%] [ 0m12s remaining] |", each ended by a carriage
// return; "\tEncoding [ 0m12s so far] |" when it reads a pipe) and the last of its other lines,
// which the report gives as the reason when the job fails: the encoder's failures do not all say
// "error" ("Failed writing data to output stream" on a full disk).
class EncoderOutputReader {
 public:
  // `progress` tells the encoder's progress lines from its other lines
  // (ReadOggencProgressLine, ReadOpusencProgressLine).
  explicit EncoderOutputReader(ProgressLineReader progress = ReadOggencProgressLine)
      : progress_(progress) {}

  void Feed(std::string_view bytes);

  // The share of the file encoded so far, 0 to 1; nullopt before the first progress line.
  std::optional<double> Fraction() const { return fraction_; }
  // The last line that reports an error or a failure, without its line end; empty when
  // none came.
  // A line still unfinished when the encoder ends counts too (see Finish).
  const std::string& LastErrorLine() const { return lastErrorLine_; }
  // The last line that is no progress line, whatever its words; empty when none came.
  const std::string& LastMessageLine() const { return lastMessageLine_; }
  // The encoder has ended: a line it left without a line end is read as complete.
  void Finish();

 private:
  void ReadLine(std::string_view line);

  ProgressLineReader progress_;
  OutputLines lines_;
  std::optional<double> fraction_;
  std::string lastErrorLine_;
  std::string lastMessageLine_;
};

}  // namespace lumio
