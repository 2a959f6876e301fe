#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/carried_tags.h"
#include "encode/finish/picture_texts.h"

namespace lumio {

// Adds the fields and pictures of `carried` to the comment header of the Ogg Vorbis or
// Ogg Opus file at `path`, after the fields the encoder wrote, in their order; pictures go
// in as METADATA_BLOCK_PICTURE fields. An Opus file takes no REPLAYGAIN_* field. Pictures of the
// source at `sourcePath` are read from it now, and their base64 taken from `pictureTexts`; those
// above the options' limit are left out. An image file that is not (or no longer) a real image of
// the type its name says, or has grown past the limit, is left out too, listed in `leftOut` with
// the reason (LeftOutPictureText). False, with the reason in `error`, when a picture of the source
// cannot be read or the file cannot be rewritten; the file may then be half-written and is to be
// thrown away.
bool WriteCarriedTags(const std::string& path, const std::string& sourcePath,
                      const CarriedTags& carried, const CarryOptions& options,
                      PictureTexts& pictureTexts, std::vector<std::string>& leftOut,
                      std::string& error);

// The image bytes of `picture` (of the source at `sourcePath`), nullopt when they
// cannot be read. Reads files: call it off the GUI thread.
std::optional<std::string> ReadPictureData(const CarriedPicture& picture,
                                           const std::string& sourcePath);

}  // namespace lumio
