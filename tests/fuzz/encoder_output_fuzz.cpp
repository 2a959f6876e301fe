// Any bytes as an encoder's output (oggenc's or opusenc's, as the first byte chooses), fed
// in pieces whose sizes the input chooses: the reader must keep its share between 0 and
// 1, and read the same whole or in pieces.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "encode/child/encoder_output_reader.h"
#include "encode/child/opusenc_progress.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::size_t piece = data[0] % 16 + 1;
  const std::string_view output(reinterpret_cast<const char*>(data) + 1, size - 1);
  const lumio::ProgressLineReader progress =
      (data[0] & 0x10) != 0 ? lumio::ReadOpusencProgressLine : lumio::ReadOggencProgressLine;
  lumio::EncoderOutputReader whole(progress);
  lumio::EncoderOutputReader pieces(progress);
  whole.Feed(output);
  for (std::size_t at = 0; at < output.size(); at += piece) pieces.Feed(output.substr(at, piece));
  whole.Finish();
  pieces.Finish();
  if (whole.Fraction() != pieces.Fraction() || whole.LastErrorLine() != pieces.LastErrorLine() ||
      whole.LastMessageLine() != pieces.LastMessageLine()) {
    std::abort();
  }
  if (whole.Fraction() && (*whole.Fraction() < 0 || *whole.Fraction() > 1)) std::abort();
  return 0;
}
