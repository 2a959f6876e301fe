// Any bytes as a file of a format whose tags hold pictures, named by the first byte so
// that TagLib takes it as MP3, M4A, WavPack, Monkey's Audio, WMA, Opus or Ogg Vorbis:
// listing its pictures must return, with every text valid UTF-8 and no picture larger
// than the file.
#include <taglib/fileref.h>

#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/byte_source.h"
#include "core/embedded_pictures.h"
#include "core/tag_byte_stream.h"
#include "platform/text_encoding.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  constexpr const char* kNames[] = {"f.mp3", "f.m4a", "f.wv", "f.ape", "f.wma", "f.opus", "f.ogg"};
  lumio::MemoryByteSource source(
      std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1));
  lumio::TagByteStream stream(source, source.Length(), kNames[data[0] % std::size(kNames)]);
  const TagLib::FileRef file(&stream, false);
  if (file.isNull()) return 0;
  for (const lumio::CarriedPicture& picture : lumio::ListEmbeddedPictures(*file.file())) {
    if (!lumio::IsValidUtf8(picture.Mime) || !lumio::IsValidUtf8(picture.Description) ||
        picture.Size > size) {
      std::abort();
    }
  }
  return 0;
}
