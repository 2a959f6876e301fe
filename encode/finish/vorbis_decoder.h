#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace lumio {

// What decoding a whole Ogg Vorbis file found.
struct DecodedStream {
  bool decoded = false;      // false: the file could not be opened or a page was bad
  std::string error;         // why, when it was not decoded
  std::uint64_t frames = 0;  // sample frames decoded
  std::uint32_t sampleRate = 0;
  int channels = 0;
};

// Receives the decoded samples block by block: `frames` frames of `channels` floats,
// interleaved, in the encoder's channel order.
using SampleSink = std::function<void(const float* interleaved, std::size_t frames)>;

// Called once the stream's channel count and rate are known, before any samples.
using StreamStart = std::function<void(int channels, std::uint32_t sampleRate)>;

// Decodes every sample of the Ogg Vorbis file at `path` with libvorbisfile. A hole in
// the stream or a damaged page counts as an error: an output that a player would skip
// through is not a whole output.
DecodedStream DecodeVorbisFile(const std::string& path, const StreamStart& start,
                               const SampleSink& sink);

}  // namespace lumio
