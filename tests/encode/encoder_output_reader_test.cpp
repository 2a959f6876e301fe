#include "encode/child/encoder_output_reader.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "encode/child/opusenc_progress.h"

namespace lumio {
namespace {

// The standard error of oggenc 1.4.2 encoding a 20-second file, as recorded, shortened.
const std::string kRecordedRun =
    "Opening with wav module: WAV file reader\n"
    "Encoding \"t.wav\" to \n         \"out.ogg\" \nat quality 3.00\n"
    "\r\t[  4.8%] [ 0m00s remaining] | \r\t[  9.4%] [ 0m00s remaining] / "
    "\r\t[ 45.3%] [ 1m12s remaining] - \r\t[ 97.6%] [ 0m01s remaining] | \n\n"
    "Done encoding file \"out.ogg\"\n\n\tFile length:  0m 20.0s\n";

// Its standard error for an input it cannot read.
const std::string kRecordedFailure = "ERROR: Input file \"bad.wav\" is not a supported format\n";

// The standard error of opusenc 0.2 encoding a 10-minute file, as recorded, shortened; and
// reading a pipe.
const std::string kRecordedOpusRun =
    "Encoding using libopus 1.3.1 (audio)\n"
    "-----------------------------------------------------\n"
    "   Input: 44.1 kHz, 2 channels\n Preskip: 312\n\n"
    "\r\r[|]  0% 00:00:00.00    0x realtime,     0 kbit/s\r            \r"
    "[-] 10% 00:01:03.18 31.6x realtime, 150.4 kbit/s\r            \r"
    "[/] 42% 00:04:14.78   51x realtime, 153.1 kbit/s\r            \rEncoding complete\n"
    "       Encoded: 10 minutes and 0.02 seconds\n";
const std::string kRecordedOpusPipe =
    "   Input: 44.1 kHz, 2 channels\n\r[|] 00:00:00.00    0x realtime,     0 kbit/s\r"
    "       \r[\\] 00:00:44.58 22.3x realtime,   142 kbit/s\r";

TEST(EncoderOutputReaderTest, ReadsProgressAndErrorsFromPiecesOfAnySize) {
  const struct {
    const char* name;
    std::string output;
    std::size_t pieceSize;
    std::optional<double> fraction;
    std::string errorLine;
    std::string messageLine;  // the last line that is no progress, whatever its words
    ProgressLineReader progress = ReadOggencProgressLine;
  } cases[] = {
      {"a full disk in the encoder's words",
       "\r\t[ 45.3%] [ 0m12s remaining] |\nFailed writing data to output stream\n", 9, 0.453,
       "Failed writing data to output stream", "Failed writing data to output stream"},
      {"whole run at once", kRecordedRun, 100000, 0.976, "", "File length:  0m 20.0s"},
      {"whole run a byte at a time", kRecordedRun, 1, 0.976, "", "File length:  0m 20.0s"},
      // What the encoder left unfinished at its end still counts.
      {"run cut inside a progress line", kRecordedRun.substr(0, kRecordedRun.find("1m12s")), 7,
       0.453, "", "at quality 3.00"},
      {"failure", kRecordedFailure, 3, std::nullopt,
       "ERROR: Input file \"bad.wav\" is not a supported format",
       "ERROR: Input file \"bad.wav\" is not a supported format"},
      {"error line without a line end", "ERROR: disk full", 4, std::nullopt, "ERROR: disk full",
       "ERROR: disk full"},
      {"the last error counts", "Error one\nERROR: two\r\n", 100, std::nullopt, "ERROR: two",
       "ERROR: two"},
      {"lines it does not know", "[abc%] [x remaining]\n[ 150.0%]\r[ -3%]\rhello\n", 2,
       std::nullopt, "", "hello"},
      {"no time left given", "\r\t[ 12.5%] |\r", 100, 0.125, "", ""},
      // Reading a pipe it tells only its running time, which is no message.
      {"running time from a pipe",
       "Encoding standard input to \n\r\tEncoding [ 0m01s so far] |\r\tEncoding [ 0m02s so far] /",
       6, std::nullopt, "", "Encoding standard input to"},
      {"opusenc's run", kRecordedOpusRun, 5, 0.42, "", "Encoded: 10 minutes and 0.02 seconds",
       ReadOpusencProgressLine},
      {"opusenc reading a pipe", kRecordedOpusPipe, 3, std::nullopt, "",
       "Input: 44.1 kHz, 2 channels", ReadOpusencProgressLine},
      {"opusenc's unreadable input", "Error: unsupported input file: bad.wav\n", 100, std::nullopt,
       "Error: unsupported input file: bad.wav", "Error: unsupported input file: bad.wav",
       ReadOpusencProgressLine},
      {"opusenc's output folder gone", "[|] 12% 00:00:01.00\r/gone/x.opus: No such file", 4, 0.12,
       "", "/gone/x.opus: No such file", ReadOpusencProgressLine},
      {"lines opusenc does not write", "[|] 101% x\r[|]50%\r[ab] 5%\r[|] -5% x\r", 100,
       std::nullopt, "", "[|] -5% x", ReadOpusencProgressLine},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EncoderOutputReader reader(c.progress);
    for (std::size_t at = 0; at < c.output.size(); at += c.pieceSize) {
      reader.Feed(std::string_view(c.output).substr(at, c.pieceSize));
    }
    reader.Finish();
    ASSERT_EQ(reader.Fraction().has_value(), c.fraction.has_value());
    if (c.fraction) {
      EXPECT_NEAR(*reader.Fraction(), *c.fraction, 1e-9);
    }
    EXPECT_EQ(reader.LastErrorLine(), c.errorLine);
    EXPECT_EQ(reader.LastMessageLine(), c.messageLine);
  }
}

TEST(EncoderOutputReaderTest, EndlessOutputWithoutLineEndsKeepsNoMoreThanALine) {
  EncoderOutputReader reader;
  const std::string chunk(1 << 16, 'x');
  for (int i = 0; i < 64; ++i) reader.Feed(chunk);
  reader.Feed("\r\t[ 50.0%] [ 0m05s remaining]\r");
  EXPECT_NEAR(*reader.Fraction(), 0.5, 1e-9);
}

}  // namespace
}  // namespace lumio
