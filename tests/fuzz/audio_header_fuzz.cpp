// Any bytes as a FLAC or an AIFF file (the first byte chooses which): the reader must
// return or throw SourceReadError, and a file it accepts never has a negative playing time.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/audio_info_reader.h"
#include "core/byte_source.h"
#include "core/wave_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const lumio::AudioKind kind = data[0] % 2 == 0 ? lumio::AudioKind::Flac : lumio::AudioKind::Aiff;
  lumio::MemoryByteSource source(
      std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1));
  lumio::AudioFigures wave;
  try {
    if (lumio::ReadAudioInfo(source, kind, wave) && wave.PlayTime < 0) std::abort();
  } catch (const lumio::SourceReadError&) {
  }
  return 0;
}
