// Any bytes as the decoder's standard error, fed in pieces whose sizes the input
// chooses, and read as ffprobe's report of a file's figures: the decoder's reader must
// read the same whole or in pieces and never give a negative position or length, and figures
// that are given must make an information line.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/info_line.h"
#include "core/probe_figures.h"
#include "encode/child/decoder_output_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::size_t piece = data[0] % 16 + 1;
  const std::string_view output(reinterpret_cast<const char*>(data) + 1, size - 1);
  lumio::DecoderOutputReader whole;
  lumio::DecoderOutputReader pieces;
  whole.Feed(output);
  for (std::size_t at = 0; at < output.size(); at += piece) pieces.Feed(output.substr(at, piece));
  whole.Finish();
  pieces.Finish();
  if (whole.DecodedMs() != pieces.DecodedMs() || whole.WrittenUs() != pieces.WrittenUs() ||
      whole.LastMessageLine() != pieces.LastMessageLine()) {
    std::abort();
  }
  if (whole.DecodedMs() && *whole.DecodedMs() < 0) std::abort();
  if (whole.WrittenUs() && *whole.WrittenUs() < 0) std::abort();
  if (const auto figures = lumio::ParseProbeFigures(output)) {
    if (figures->byteRate == 0 || figures->dataSize >= lumio::kLargestDataSize) std::abort();
    lumio::AudioFigures wave;
    lumio::FillAudioFigures(*figures, wave);
  }
  return 0;
}
