#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/file_data.h"
#include "platform/code_page.h"

namespace lumio {

// Whether the job `record` for `inputPath` goes through the decoder: a file the encoder
// cannot read (AudioKind::Decoded), or a track of an image, which the decoder cuts out.
bool NeedsDecoder(const std::string& inputPath, const FileData& record, CodePage codePage);

// The decoder program, `ffmpeg`, beside the program in `programFolder` (which ends in a
// separator), else on $PATH; empty when there is none.
std::string ResolveDecoderPath(const std::string& programFolder);

// The decoder's arguments, `decoderPath` first: the first audio stream of `inputPath`
// as WAVE (DSD at 88.2 kHz) on its standard output, without tags (the encoder is given
// them), with errors and a machine-readable progress report (`out_time_us=`) on its
// standard error. The WAVE keeps a source of `sourceBits` (as the information line gives
// them) at its own depth: 16-bit up to 16, 24-bit up to 24, 32-bit float above. With
// `range`, only those sample frames, cut exactly and timed from 0, so that the progress
// report counts from the track's start.
std::vector<std::string> DecoderArguments(const std::string& decoderPath,
                                          const std::string& inputPath, int sourceBits,
                                          const std::optional<SampleRange>& range = std::nullopt);

// What the encoder is given instead of an input path when the decoder feeds it: WAVE
// on its standard input, whose length a pipe cannot tell.
inline constexpr const char* kEncoderReadsStandardInput = "-";
inline constexpr const char* kEncoderIgnoresLength = "--ignorelength";

}  // namespace lumio
