#pragma once

#include <string>

#include "encode/finish/vorbis_decoder.h"

namespace lumio {

// Whether the file at `path` begins as an Ogg Opus stream (its first page holds
// "OpusHead"). False for a file that cannot be read.
bool IsOggOpusFile(const std::string& path);

// Decodes every sample of the Ogg Opus file at `path` with libopusfile, at 48 kHz, its
// pre-skip and end trimming applied, so that `frames` is the length a player plays. A
// hole or a damaged page counts as an error, as for Ogg Vorbis.
DecodedStream DecodeOpusFile(const std::string& path, const StreamStart& start,
                             const SampleSink& sink);

}  // namespace lumio
