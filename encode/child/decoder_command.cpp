#include "encode/child/decoder_command.h"

#include <string_view>

#include "core/audio_kind.h"
#include "platform/path_rules.h"
#include "platform/program_location.h"

namespace lumio {

bool NeedsDecoder(const std::string& inputPath, const FileData& record, CodePage codePage) {
  return record.Range ||
         AudioKindOf(inputPath, {NativePathRules().style, codePage}) == AudioKind::Decoded;
}

std::string ResolveDecoderPath(const std::string& programFolder) {
  return FindHelperProgram(programFolder, "ffmpeg");
}

namespace {

// DSD sources decode at an eighth of their bit rate, 352.8 kHz and more, which the
// encoder refuses (it takes up to 192 kHz); 88.2 kHz keeps all that Vorbis can carry.
bool IsDsd(std::string_view path) {
  if (path.size() < 4) return false;
  std::string extension(path.substr(path.size() - 4));
  for (char& c : extension) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return extension == ".dsf" || extension == ".dff";
}

// The encoder reads 16-bit, 24-bit and 32-bit float WAVE, not 32-bit integers: deeper
// sources go as float, whose 24 bits of precision are more than Vorbis keeps. Null for
// the decoder's own 16 bits.
const char* SampleCodec(int sourceBits) {
  if (sourceBits <= 16) return nullptr;
  return sourceBits <= 24 ? "pcm_s24le" : "pcm_f32le";
}

// Cuts the range out by sample number, exact whatever the decoder's packet sizes.
std::string TrimFilter(const SampleRange& range) {
  std::string filter = "atrim=start_sample=" + std::to_string(range.first);
  if (range.end != 0) filter += ":end_sample=" + std::to_string(range.end);
  return filter + ",asetpts=PTS-STARTPTS";
}

}  // namespace

std::vector<std::string> DecoderArguments(const std::string& decoderPath,
                                          const std::string& inputPath, int sourceBits,
                                          const std::optional<SampleRange>& range) {
  // "file:" keeps a name that starts with "-" or looks like a protocol ("http:…") a
  // plain file.
  std::vector<std::string> arguments = {
      decoderPath, "-nostdin",  "-hide_banner",  "-nostats", "-loglevel",
      "error",     "-progress", "pipe:2",        "-i",       "file:" + inputPath,
      "-map",      "0:a:0",     "-map_metadata", "-1"};
  if (range) arguments.insert(arguments.end(), {"-af", TrimFilter(*range)});
  if (IsDsd(inputPath)) arguments.insert(arguments.end(), {"-ar", "88200"});
  if (const char* codec = SampleCodec(sourceBits))
    arguments.insert(arguments.end(), {"-c:a", codec});
  arguments.insert(arguments.end(), {"-f", "wav", "-"});
  return arguments;
}

}  // namespace lumio
