#include "core/flac_reader.h"

#include <cstdint>
#include <cstring>

#include "core/info_line.h"

namespace lumio {

namespace {

constexpr std::size_t kId3HeaderSize = 10;
// "fLaC", the header of the first metadata block and the 34-byte STREAMINFO body.
constexpr std::size_t kStreamStartSize = 4 + 4 + 34;

// Where the FLAC stream starts: behind an ID3v2 tag that some taggers put in front.
std::uint64_t StreamOffset(ByteSource& source) {
  unsigned char header[kId3HeaderSize];
  if (source.ReadAt(0, header, sizeof header) < sizeof header ||
      std::memcmp(header, "ID3", 3) != 0) {
    return 0;
  }
  // Four 7-bit bytes give the tag's size without its header and footer.
  const std::uint64_t size = std::uint64_t{header[6] & 0x7Fu} << 21 |
                             std::uint64_t{header[7] & 0x7Fu} << 14 |
                             std::uint64_t{header[8] & 0x7Fu} << 7 | (header[9] & 0x7Fu);
  const bool hasFooter = (header[5] & 0x10) != 0;
  return kId3HeaderSize + size + (hasFooter ? kId3HeaderSize : 0);
}

}  // namespace

bool ReadFlacInfo(ByteSource& source, WaveData& wave) {
  wave.PlayTime = 0;
  wave.InfoText.clear();
  unsigned char start[kStreamStartSize];
  if (source.ReadAt(StreamOffset(source), start, sizeof start) < sizeof start) return false;
  // STREAMINFO is always the first metadata block (type 0).
  if (std::memcmp(start, "fLaC", 4) != 0 || (start[4] & 0x7F) != 0) return false;
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
  FillWaveData({samples * frameBytes, sampleRate * frameBytes, sampleRate, bits, channels}, wave);
  return true;
}

}  // namespace lumio
