#pragma once

#include <cstdint>
#include <string>

namespace lumio::test {

inline std::string Le16(std::uint16_t value) {
  return {static_cast<char>(value & 0xFF), static_cast<char>(value >> 8)};
}

inline std::string Le32(std::uint32_t value) {
  return Le16(static_cast<std::uint16_t>(value & 0xFFFF)) +
         Le16(static_cast<std::uint16_t>(value >> 16));
}

// The fields of the fixed 36-byte block at the start of a WAVE file.
struct WaveFormat {
  std::string riff = "RIFF";
  std::string formAndFirstChunk = "WAVEfmt ";
  std::uint32_t formatSize = 16;
  std::uint16_t formatTag = 1;
  std::uint16_t channels = 2;
  std::uint32_t sampleRate = 44100;
  std::uint32_t byteRate = 176400;
  std::uint16_t bits = 16;
};

inline std::string HeaderBlock(const WaveFormat& format) {
  const auto blockAlign = static_cast<std::uint16_t>(format.channels * format.bits / 8);
  return format.riff + Le32(0) + format.formAndFirstChunk + Le32(format.formatSize) +
         Le16(format.formatTag) + Le16(format.channels) + Le32(format.sampleRate) +
         Le32(format.byteRate) + Le16(blockAlign) + Le16(format.bits);
}

// A chunk header declaring `declaredSize`, followed by `bodyLength` filler bytes (the
// body may be shorter than declared: the reader never reads it).
inline std::string Chunk(const std::string& id, std::uint32_t declaredSize,
                         std::size_t bodyLength = 0) {
  return id + Le32(declaredSize) + std::string(bodyLength, '\x55');
}

// The usual 44-byte header: the data chunk's header right after the block.
inline std::string PlainWave(std::uint32_t dataSize, const WaveFormat& format = {}) {
  return HeaderBlock(format) + Chunk("data", dataSize);
}

}  // namespace lumio::test
