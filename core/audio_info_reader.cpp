#include "core/audio_info_reader.h"

#include "core/aiff_reader.h"
#include "core/byte_source.h"
#include "core/flac_reader.h"
#include "core/wave_source_reader.h"

namespace lumio {

bool ReadAudioInfo(const std::string& path, AudioKind kind, WaveData& wave) {
  FileByteSource source(path);
  switch (kind) {
    case AudioKind::Flac:
      return ReadFlacInfo(source, wave);
    case AudioKind::Aiff:
      return ReadAiffInfo(source, wave);
    case AudioKind::Wave:
    case AudioKind::Unsupported:
      break;
  }
  return ReadWaveInfo(source, wave);
}

}  // namespace lumio
