#include "core/aiff_chunks.h"

#include <algorithm>
#include <cstring>

#include "core/byte_order.h"

namespace lumio {

namespace {

constexpr std::size_t kFormHeaderSize = 12;
constexpr std::size_t kChunkHeaderSize = 8;

bool IsChunkIdentifier(const unsigned char* id) {
  return std::all_of(id, id + 4, [](unsigned char byte) { return byte >= 0x20 && byte <= 0x7E; });
}

}  // namespace

AiffForm ReadAiffForm(ByteSource& source) {
  unsigned char header[kFormHeaderSize];
  if (source.ReadAt(0, header, sizeof header) < sizeof header ||
      std::memcmp(header, "FORM", 4) != 0) {
    return AiffForm::NotAiff;
  }
  if (std::memcmp(header + 8, "AIFF", 4) == 0) return AiffForm::Aiff;
  if (std::memcmp(header + 8, "AIFC", 4) == 0) return AiffForm::Aifc;
  return AiffForm::NotAiff;
}

void ForEachAiffChunk(ByteSource& source, const std::function<bool(const AiffChunk&)>& visit) {
  const std::uint64_t length = source.Length();
  std::uint64_t position = kFormHeaderSize;
  unsigned char header[kChunkHeaderSize];
  while (position + kChunkHeaderSize <= length &&
         source.ReadAt(position, header, sizeof header) == sizeof header &&
         IsChunkIdentifier(header)) {
    AiffChunk chunk{{}, position + kChunkHeaderSize, Be32(header + 4)};
    std::memcpy(chunk.id, header, 4);
    if (!visit(chunk)) return;
    position = chunk.bodyPosition + chunk.size + (chunk.size & 1);
  }
}

}  // namespace lumio
