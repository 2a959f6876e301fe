#pragma once

#include <taglib/tfile.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/carried_tags.h"

namespace lumio {

// The pictures in the tags of a file that the decoder reads, in this order: ID3v2 APIC
// frames (MP3, TTA), APE cover items (WavPack, Monkey's Audio, Musepack, MP3), MP4
// cover art, ASF WM/Picture attributes, Xiph pictures (Ogg Vorbis, Opus, Ogg FLAC).
// Each keeps its type, MIME type and description; `SourceIndex` counts them in this
// order, which ReadEmbeddedPictureBlock counts the same way.
std::vector<CarriedPicture> ListEmbeddedPictures(TagLib::File& file);

// Whether `name`, as TagLib lists a tag item that it maps to no field, is one of the
// picture items ListEmbeddedPictures reads: it is carried, not left out.
bool IsPictureItemName(std::string_view name);

// Picture number `index` of the file at `path` (see ListEmbeddedPictures) as the body of
// a FLAC PICTURE block, which is how an Ogg file carries it; nullopt when it is not
// there. No single read of the file takes more than 16 MB.
std::optional<std::string> ReadEmbeddedPictureBlock(const std::string& path, std::int32_t index);

}  // namespace lumio
