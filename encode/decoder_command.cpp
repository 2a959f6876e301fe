#include "encode/decoder_command.h"

#include "core/audio_kind.h"
#include "platform/path_rules.h"
#include "platform/program_location.h"

namespace lumio {

bool NeedsDecoder(const std::string& inputPath, CodePage codePage) {
  return AudioKindOf(inputPath, {NativePathRules().style, codePage}) == AudioKind::Decoded;
}

std::string ResolveDecoderPath(const std::string& programFolder) {
  return FindHelperProgram(programFolder, "ffmpeg");
}

std::vector<std::string> DecoderArguments(const std::string& decoderPath,
                                          const std::string& inputPath) {
  // "file:" keeps a name that starts with "-" or looks like a protocol ("http:…") a
  // plain file.
  return {decoderPath, "-nostdin",  "-hide_banner",  "-nostats", "-loglevel",
          "error",     "-progress", "pipe:2",        "-i",       "file:" + inputPath,
          "-map",      "0:a:0",     "-map_metadata", "-1",       "-f",
          "wav",       "-"};
}

}  // namespace lumio
