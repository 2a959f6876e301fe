// Any bytes as a WAVE file: the header reader must return or throw SourceReadError, and
// a PCM file's playing time is never negative.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/byte_source.h"
#include "core/wave_reader.h"
#include "core/wave_source_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  lumio::MemoryByteSource source(std::string_view(reinterpret_cast<const char*>(data), size));
  lumio::AudioFigures wave;
  try {
    if (lumio::ReadWaveInfo(source, wave) && wave.PlayTime < 0) std::abort();
  } catch (const lumio::SourceReadError&) {
  }
  return 0;
}
