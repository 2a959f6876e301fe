#include "core/aiff_reader.h"

#include <cstdint>
#include <cstring>

#include "core/byte_order.h"
#include "core/chunk_walk.h"
#include "core/info_line.h"

namespace lumio {

namespace {

// Channels, sample frames, bits, the 80-bit sample rate and, in AIFC, the compression.
constexpr std::size_t kCommonSize = 22;

// The whole-number part of an 80-bit extended sample rate; 0 for a rate below 1 or one
// too large for 32 bits.
std::uint32_t SampleRate(const unsigned char* extended) {
  const int exponent = (extended[0] & 0x7F) << 8 | extended[1];
  const std::uint64_t mantissa = std::uint64_t{Be32(extended + 2)} << 32 | Be32(extended + 6);
  const int shift = 16383 + 63 - exponent;
  if ((extended[0] & 0x80) != 0 || shift < 32 || shift > 63) return 0;
  return static_cast<std::uint32_t>(mantissa >> shift);
}

// oggenc reads AIFC files only when their samples are plain PCM, in either byte order.
bool IsUncompressed(const unsigned char* compression) {
  return std::memcmp(compression, "NONE", 4) == 0 || std::memcmp(compression, "sowt", 4) == 0;
}

}  // namespace

AiffForm ReadAiffForm(ByteSource& source) {
  unsigned char header[12];
  if (source.ReadAt(0, header, sizeof header) < sizeof header ||
      std::memcmp(header, "FORM", 4) != 0) {
    return AiffForm::NotAiff;
  }
  if (std::memcmp(header + 8, "AIFF", 4) == 0) return AiffForm::Aiff;
  if (std::memcmp(header + 8, "AIFC", 4) == 0) return AiffForm::Aifc;
  return AiffForm::NotAiff;
}

bool ReadAiffInfo(ByteSource& source, AudioFigures& audio) {
  audio = AudioFigures();
  const AiffForm form = ReadAiffForm(source);
  if (form == AiffForm::NotAiff) return false;

  unsigned char common[kCommonSize] = {};
  bool haveCommon = false;
  bool haveSound = false;
  ForEachChunk(source, ChunkSizeOrder::BigEndian, [&](const Chunk& chunk) {
    if (IsChunk(chunk, "COMM") && !haveCommon) {
      const std::size_t needed = form == AiffForm::Aifc ? kCommonSize : kCommonSize - 4;
      haveCommon =
          chunk.size >= needed && source.ReadAt(chunk.bodyPosition, common, needed) == needed;
    } else if (IsChunk(chunk, "SSND")) {
      haveSound = true;
    }
    return !(haveCommon && haveSound);
  });
  if (!haveCommon || !haveSound) return false;
  if (form == AiffForm::Aifc && !IsUncompressed(common + 18)) return false;

  const std::uint16_t channels = Be16(common);
  const std::uint32_t frames = Be32(common + 2);
  const std::uint16_t bits = Be16(common + 6);
  const std::uint32_t sampleRate = SampleRate(common + 8);
  const std::uint64_t frameBytes = std::uint64_t{channels} * ((bits + 7u) / 8);
  if (sampleRate == 0 || frameBytes == 0) return false;
  FillAudioFigures(
      {frames * frameBytes, sampleRate * frameBytes, sampleRate, bits, channels, frameBytes},
      audio);
  return true;
}

}  // namespace lumio
