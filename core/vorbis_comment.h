#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/carried_tags.h"

namespace lumio {

// A Vorbis comment as FLAC's VORBIS_COMMENT block and the Ogg Vorbis comment header
// hold it: a vendor text and fields in order.
struct VorbisComment {
  std::string Vendor;
  std::vector<CarriedField> Fields;
};

// How field names come out of ParseVorbisComment: in upper case, as TagLib names them,
// or exactly as written.
enum class FieldNames { Upper, AsWritten };

// Reads a comment body (without the Ogg packet's "\x03vorbis" prefix). Values that are not valid
// UTF-8 are decoded as CP932, and bytes that are neither become U+FFFD, so no field is ever dropped
// for its text. An entry without '=' is no field and is passed over; the fields before a length
// that runs past the end are kept.
VorbisComment ParseVorbisComment(std::string_view body, FieldNames names);

// The body for `comment`, without prefix and framing bit.
std::string RenderVorbisComment(const VorbisComment& comment);

// Whether `name` can name a Vorbis comment field: printable ASCII 0x20 to 0x7D
// except '=', and not empty.
bool IsValidFieldName(std::string_view name);

// The head of a FLAC PICTURE block (the layout that METADATA_BLOCK_PICTURE fields
// carry as well), without the picture's bytes.
struct PictureHead {
  std::int32_t type = 0;
  std::string mime;
  std::string description;
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  std::uint32_t dataSize = 0;
};

// Reads the head from the first bytes of a PICTURE block; nullopt when they do not
// hold a whole head.
std::optional<PictureHead> ParsePictureHead(std::string_view bytes);

}  // namespace lumio
