#pragma once

#include <optional>
#include <string>

#include "core/vorbis_comment.h"

namespace lumio {

// The comment of the Ogg Vorbis file at `path`, read from its header pages alone: the
// audio after them is never read, so that looking at the tags of a whole library costs
// a few kilobytes a file. The file must be a regular file (it is opened without
// waiting); its header pages may hold up to 64 MiB (pictures included). nullopt, with
// the reason in `error`, for anything else.
std::optional<VorbisComment> ReadOggComment(const std::string& path, std::string& error);

}  // namespace lumio
