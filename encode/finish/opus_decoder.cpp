#include "encode/finish/opus_decoder.h"

#include <opusfile.h>

#include <fstream>
#include <string_view>
#include <vector>

namespace lumio {

namespace {

// libopusfile always decodes at this rate.
constexpr std::uint32_t kOpusRate = 48000;

std::string DecoderError(int code) {
  switch (code) {
    case OP_EREAD:
      return "出力ファイルを読めません";
    case OP_ENOTFORMAT:
    case OP_EBADHEADER:
      return "出力ファイルが Ogg Opus ではありません";
    case OP_HOLE:
      return "出力ファイルの途中が欠けています";
    default:
      return "出力ファイルを復号できません (" + std::to_string(code) + ")";
  }
}

struct OpenOpusFile {
  OggOpusFile* file = nullptr;
  ~OpenOpusFile() {
    if (file != nullptr) op_free(file);
  }
};

}  // namespace

bool IsOggOpusFile(const std::string& path) {
  // The first page of one segment: 27 bytes of header, its lacing value, then the packet.
  char start[36] = {};
  std::ifstream file(path, std::ios::binary);
  if (!file.read(start, sizeof start)) return false;
  const std::string_view bytes(start, sizeof start);
  return bytes.starts_with("OggS") && bytes.substr(28) == "OpusHead";
}

DecodedStream DecodeOpusFile(const std::string& path, const StreamStart& start,
                             const SampleSink& sink) {
  DecodedStream stream;
  OpenOpusFile opus;
  int opened = 0;
  opus.file = op_open_file(path.c_str(), &opened);
  if (opus.file == nullptr) {
    stream.error = DecoderError(opened);
    return stream;
  }
  // A chained file whose later link changes the channel count is no output of ours.
  if (op_link_count(opus.file) != 1) {
    stream.error = DecoderError(OP_EBADLINK);
    return stream;
  }
  stream.channels = op_channel_count(opus.file, -1);
  stream.sampleRate = kOpusRate;
  start(stream.channels, stream.sampleRate);
  // The most a packet decodes to: 120 ms at 48 kHz.
  std::vector<float> interleaved(static_cast<std::size_t>(5760) * stream.channels);
  for (;;) {
    const int frames =
        op_read_float(opus.file, interleaved.data(), static_cast<int>(interleaved.size()), nullptr);
    if (frames == 0) break;
    if (frames < 0) {
      stream.error = DecoderError(frames);
      return stream;
    }
    sink(interleaved.data(), static_cast<std::size_t>(frames));
    stream.frames += static_cast<std::uint64_t>(frames);
  }
  stream.decoded = true;
  return stream;
}

}  // namespace lumio
