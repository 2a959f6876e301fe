// Any bytes as a FLAC, WAVE or AIFF file (the first byte chooses which): reading its tags
// must return, with every field valid UTF-8, whatever its metadata blocks and chunks
// declare. TagLib reads the WAVE and AIFF id3 chunks through the same bytes.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/byte_source.h"
#include "core/source_tags.h"
#include "platform/text_encoding.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  constexpr lumio::AudioKind kKinds[] = {lumio::AudioKind::Flac, lumio::AudioKind::Wave,
                                         lumio::AudioKind::Aiff};
  const lumio::AudioKind kind = kKinds[data[0] % 3];
  lumio::MemoryByteSource source(
      std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1));
  const lumio::SourceTags tags = lumio::ReadSourceTags(source, "fuzz", kind);
  for (const std::string* field :
       {&tags.Title, &tags.Artist, &tags.Album, &tags.Date, &tags.TrackNumber, &tags.Comment}) {
    if (!lumio::IsValidUtf8(*field)) std::abort();
  }
  return 0;
}
