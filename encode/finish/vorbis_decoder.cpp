#include "encode/finish/vorbis_decoder.h"

#include <vorbis/codec.h>
#include <vorbis/vorbisfile.h>

#include <cstdio>
#include <vector>

namespace lumio {

namespace {

std::string DecoderError(long code) {
  switch (code) {
    case OV_EREAD:
      return "出力ファイルを読めません";
    case OV_ENOTVORBIS:
      return "出力ファイルが Ogg Vorbis ではありません";
    case OV_HOLE:
      return "出力ファイルの途中が欠けています";
    default:
      return "出力ファイルを復号できません (" + std::to_string(code) + ")";
  }
}

// Closes the file that ov_fopen opened.
struct OpenVorbisFile {
  OggVorbis_File file{};
  ~OpenVorbisFile() { ov_clear(&file); }
};

}  // namespace

DecodedStream DecodeVorbisFile(const std::string& path, const StreamStart& start,
                               const SampleSink& sink) {
  DecodedStream stream;
  OpenVorbisFile vorbis;
  if (const int opened = ov_fopen(path.c_str(), &vorbis.file); opened != 0) {
    // ov_fopen leaves nothing to clear when it fails.
    vorbis.file = OggVorbis_File{};
    stream.error = DecoderError(opened);
    return stream;
  }
  const vorbis_info* info = ov_info(&vorbis.file, -1);
  if (info == nullptr || info->channels <= 0 || info->rate <= 0) {
    stream.error = DecoderError(OV_ENOTVORBIS);
    return stream;
  }
  stream.channels = info->channels;
  stream.sampleRate = static_cast<std::uint32_t>(info->rate);
  start(stream.channels, stream.sampleRate);
  std::vector<float> interleaved;
  int section = 0;
  for (;;) {
    float** planar = nullptr;
    const long frames = ov_read_float(&vorbis.file, &planar, 4096, &section);
    if (frames == 0) break;
    if (frames < 0) {
      stream.error = DecoderError(frames);
      return stream;
    }
    // A chained file whose later part changes the channel count is no output of ours.
    const vorbis_info* now = ov_info(&vorbis.file, section);
    if (now == nullptr || now->channels != stream.channels) {
      stream.error = DecoderError(OV_EBADLINK);
      return stream;
    }
    interleaved.resize(static_cast<std::size_t>(frames) * stream.channels);
    for (long frame = 0; frame < frames; ++frame) {
      for (int channel = 0; channel < stream.channels; ++channel) {
        interleaved[frame * stream.channels + channel] = planar[channel][frame];
      }
    }
    sink(interleaved.data(), static_cast<std::size_t>(frames));
    stream.frames += static_cast<std::uint64_t>(frames);
  }
  stream.decoded = true;
  return stream;
}

}  // namespace lumio
