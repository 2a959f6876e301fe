#pragma once

#include <cmath>
#include <cstdint>
#include <fstream>
#include <numbers>
#include <string>

namespace lumio::test {

inline std::string Le16(std::uint16_t value) {
  return {static_cast<char>(value & 0xFF), static_cast<char>(value >> 8)};
}

inline std::string Le32(std::uint32_t value) {
  return Le16(static_cast<std::uint16_t>(value & 0xFFFF)) +
         Le16(static_cast<std::uint16_t>(value >> 16));
}

// The fields of the fixed 36-byte block at the start of a WAVE file. Each may be set to
// a wrong value, for the tests of a reader that must refuse or survive it.
struct WaveFormat {
  std::string riff = "RIFF";
  std::string formAndFirstChunk = "WAVEfmt ";
  std::uint32_t formatSize = 16;
  std::uint16_t formatTag = 1;
  std::uint16_t channels = 2;
  std::uint32_t sampleRate = 44100;
  std::uint32_t byteRate = 176400;
  std::uint16_t bits = 16;
  std::uint32_t riffSize = 0;  // readers do not rely on it, so most fixtures leave it 0
};

inline std::string HeaderBlock(const WaveFormat& format) {
  const auto blockAlign = static_cast<std::uint16_t>(format.channels * format.bits / 8);
  return format.riff + Le32(format.riffSize) + format.formAndFirstChunk + Le32(format.formatSize) +
         Le16(format.formatTag) + Le16(format.channels) + Le32(format.sampleRate) +
         Le32(format.byteRate) + Le16(blockAlign) + Le16(format.bits);
}

// A chunk header declaring `declaredSize`, followed by `bodyLength` filler bytes (the
// body may be shorter than declared: the reader never reads it).
inline std::string Chunk(const std::string& id, std::uint32_t declaredSize,
                         std::size_t bodyLength = 0) {
  return id + Le32(declaredSize) + std::string(bodyLength, '\x55');
}

// The usual 44-byte header: the data chunk's header right after the block, without the
// data itself.
inline std::string PlainWave(std::uint32_t dataSize, const WaveFormat& format = {}) {
  return HeaderBlock(format) + Chunk("data", dataSize);
}

// A whole 16-bit PCM file as an encoder expects it: every size field agrees with
// `samples`, the interleaved little-endian sample bytes.
inline std::string PcmWave(const std::string& samples, std::uint16_t channels = 2,
                           std::uint32_t sampleRate = 44100) {
  const auto dataSize = static_cast<std::uint32_t>(samples.size());
  WaveFormat format;
  format.channels = channels;
  format.sampleRate = sampleRate;
  format.byteRate = sampleRate * channels * 2;
  format.riffSize = 36 + dataSize;
  return PlainWave(dataSize, format) + samples;
}

// `dataSize` bytes of silence, 16-bit stereo at 44100 Hz.
inline std::string SilentWave(std::uint32_t dataSize) {
  return PcmWave(std::string(dataSize, '\0'));
}

// `seconds` of a sine of `frequency` Hz and peak `amplitude` (1 is full scale) on every
// channel, 16-bit.
inline std::string SineWave(double seconds, double frequency, double amplitude,
                            std::uint16_t channels = 2, std::uint32_t sampleRate = 44100) {
  const auto frames = static_cast<std::uint32_t>(seconds * sampleRate);
  std::string samples;
  samples.reserve(std::size_t{frames} * channels * 2);
  for (std::uint32_t frame = 0; frame < frames; ++frame) {
    const double phase = 2 * std::numbers::pi * frequency * frame / sampleRate;
    const std::string sample = Le16(static_cast<std::uint16_t>(
        static_cast<std::int16_t>(std::lround(32768 * amplitude * std::sin(phase)))));
    for (std::uint16_t channel = 0; channel < channels; ++channel) samples += sample;
  }
  return PcmWave(samples, channels, sampleRate);
}

// `seconds` of a 440 Hz tone on every channel, loud enough for an encoder to work on.
inline std::string ToneWave(double seconds, std::uint16_t channels = 2,
                            std::uint32_t sampleRate = 44100) {
  return SineWave(seconds, 440, 8000.0 / 32768, channels, sampleRate);
}

inline bool WriteToneWave(const std::string& path, double seconds, std::uint16_t channels = 2,
                          std::uint32_t sampleRate = 44100) {
  std::ofstream out(path, std::ios::binary);
  out << ToneWave(seconds, channels, sampleRate);
  return static_cast<bool>(out);
}

}  // namespace lumio::test
