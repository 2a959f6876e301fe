// Any bytes as a Vorbis comment body and as the head of a PICTURE block: the parsers
// must return, every text they give must be valid UTF-8, and a parsed comment must
// render and parse back to itself.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/vorbis_comment.h"
#include "platform/text_encoding.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const lumio::VorbisComment comment =
      lumio::ParseVorbisComment(bytes, lumio::FieldNames::AsWritten);
  if (!lumio::IsValidUtf8(comment.Vendor)) std::abort();
  for (const lumio::CarriedField& field : comment.Fields) {
    if (!lumio::IsValidUtf8(field.Name) || !lumio::IsValidUtf8(field.Value)) std::abort();
  }
  const lumio::VorbisComment again =
      lumio::ParseVorbisComment(lumio::RenderVorbisComment(comment), lumio::FieldNames::AsWritten);
  if (again.Vendor != comment.Vendor || again.Fields != comment.Fields) std::abort();
  if (const auto head = lumio::ParsePictureHead(bytes)) {
    if (!lumio::IsValidUtf8(head->mime) || !lumio::IsValidUtf8(head->description)) std::abort();
  }
  return 0;
}
