#include "core/flac_reader.h"

#include <cstring>

#include "core/info_line.h"

namespace lumio {

namespace {

constexpr std::size_t kId3HeaderSize = 10;
constexpr std::size_t kBlockHeaderSize = 4;
// "fLaC", the header of the first metadata block and the 34-byte STREAMINFO body.
constexpr std::size_t kStreamStartSize = 4 + kBlockHeaderSize + 34;
constexpr unsigned kStreamInfoType = 0;
constexpr unsigned kVorbisCommentType = 4;
constexpr unsigned kInvalidType = 127;
// Far more than any writer makes: a few blocks, a handful of pictures and some padding.
constexpr int kMostBlocks = 1024;
constexpr std::uint64_t kMostMetadataBytes = std::uint64_t{256} << 20;
constexpr unsigned kPictureType = 6;

// Reads the start of the FLAC stream into `start` and returns the stream's offset: 0, or
// the length of an ID3v2 tag that some taggers put in front. Nullopt when the bytes
// there are no FLAC stream.
std::optional<std::uint64_t> ReadStreamStart(ByteSource& source,
                                             unsigned char (&start)[kStreamStartSize]) {
  std::uint64_t offset = 0;
  std::size_t got = source.ReadAt(0, start, sizeof start);
  if (got >= kId3HeaderSize && std::memcmp(start, "ID3", 3) == 0) {
    // Four 7-bit bytes give the tag's size without its header and footer.
    const std::uint64_t size = std::uint64_t{start[6] & 0x7Fu} << 21 |
                               std::uint64_t{start[7] & 0x7Fu} << 14 |
                               std::uint64_t{start[8] & 0x7Fu} << 7 | (start[9] & 0x7Fu);
    const bool hasFooter = (start[5] & 0x10) != 0;
    offset = kId3HeaderSize + size + (hasFooter ? kId3HeaderSize : 0);
    got = source.ReadAt(offset, start, sizeof start);
  }
  // STREAMINFO is always the first metadata block.
  if (got < sizeof start || std::memcmp(start, "fLaC", 4) != 0 ||
      (start[4] & 0x7F) != kStreamInfoType) {
    return std::nullopt;
  }
  return offset;
}

std::uint32_t BlockSize(const unsigned char* header) {
  return std::uint32_t{header[1]} << 16 | std::uint32_t{header[2]} << 8 | header[3];
}

bool IsLastBlock(const unsigned char* header) { return (header[0] & 0x80) != 0; }

}  // namespace

bool ReadFlacInfo(ByteSource& source, AudioFigures& audio) {
  audio = AudioFigures();
  unsigned char start[kStreamStartSize];
  if (!ReadStreamStart(source, start)) return false;
  const unsigned char* info = start + 8;
  // Behind the block and frame sizes: 20 bits of sample rate, 3 bits of channels - 1,
  // 5 bits of bits per sample - 1 and 36 bits of samples per channel.
  const std::uint32_t sampleRate =
      std::uint32_t{info[10]} << 12 | std::uint32_t{info[11]} << 4 | info[12] >> 4;
  const auto channels = static_cast<std::uint16_t>(((info[12] >> 1) & 0x07) + 1);
  const auto bits = static_cast<std::uint16_t>(((info[12] & 0x01) << 4 | info[13] >> 4) + 1);
  const std::uint64_t samples = std::uint64_t{info[13] & 0x0Fu} << 32 |
                                std::uint64_t{info[14]} << 24 | std::uint64_t{info[15]} << 16 |
                                std::uint64_t{info[16]} << 8 | info[17];
  if (sampleRate == 0) return false;
  // The size the samples would take as PCM, as the information line of a WAVE file
  // shows it: whole bytes per sample.
  const std::uint64_t frameBytes = std::uint64_t{channels} * ((bits + 7u) / 8);
  FillAudioFigures(
      {samples * frameBytes, sampleRate * frameBytes, sampleRate, bits, channels, frameBytes},
      audio);
  return true;
}

void ForEachFlacBlock(ByteSource& source, const std::function<bool(const FlacBlock&)>& visit) {
  unsigned char start[kStreamStartSize];
  const std::optional<std::uint64_t> offset = ReadStreamStart(source, start);
  if (!offset) return;
  unsigned char header[kBlockHeaderSize];
  std::memcpy(header, start + 4, sizeof header);
  const std::uint64_t metadataStart = *offset + 4;
  std::uint64_t position = metadataStart;
  const std::uint64_t length = source.Length();
  for (int blocks = 0; !IsLastBlock(header) && blocks < kMostBlocks; ++blocks) {
    position += kBlockHeaderSize + BlockSize(header);
    if (source.ReadAt(position, header, sizeof header) < sizeof header) return;
    const unsigned type = header[0] & 0x7Fu;
    const FlacBlock block{position + kBlockHeaderSize, BlockSize(header), type};
    const std::uint64_t end = block.bodyPosition + block.size;
    if (type == kStreamInfoType || type == kInvalidType || end > length ||
        end - metadataStart > kMostMetadataBytes || !visit(block)) {
      return;
    }
  }
}

std::optional<FlacBlock> FindFlacCommentBlock(ByteSource& source) {
  std::optional<FlacBlock> comment;
  ForEachFlacBlock(source, [&](const FlacBlock& block) {
    if (block.type == kVorbisCommentType) comment = block;
    return !comment;
  });
  return comment;
}

std::vector<FlacBlock> FindFlacPictureBlocks(ByteSource& source) {
  std::vector<FlacBlock> found;
  ForEachFlacBlock(source, [&](const FlacBlock& block) {
    if (block.type == kPictureType) found.push_back(block);
    return true;
  });
  return found;
}

}  // namespace lumio
