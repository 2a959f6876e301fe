#include "core/audio_info_reader.h"

#include "core/aiff_reader.h"
#include "core/flac_reader.h"
#include "core/wave_source_reader.h"

namespace lumio {

bool ReadAudioInfo(ByteSource& source, AudioKind kind, AudioFigures& audio) {
  switch (kind) {
    case AudioKind::Flac:
      return ReadFlacInfo(source, audio);
    case AudioKind::Aiff:
      return ReadAiffInfo(source, audio);
    case AudioKind::Wave:
    case AudioKind::Decoded:  // read by ReadDecodedSource; as WAVE only when named so
    case AudioKind::CueSheet:
    case AudioKind::Unsupported:
      break;
  }
  return ReadWaveInfo(source, audio);
}

}  // namespace lumio
