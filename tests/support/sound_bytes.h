#pragma once

#include <cstdint>
#include <string>

namespace lumio::test {

inline std::string Be16(std::uint16_t value) {
  return {static_cast<char>(value >> 8), static_cast<char>(value & 0xFF)};
}

inline std::string Be32(std::uint32_t value) {
  return Be16(static_cast<std::uint16_t>(value >> 16)) +
         Be16(static_cast<std::uint16_t>(value & 0xFFFF));
}

// The start of a FLAC stream: its marker and a STREAMINFO block as the last metadata.
inline std::string FlacStart(std::uint32_t sampleRate, unsigned channels, unsigned bits,
                             std::uint64_t samples) {
  std::string info = Be16(4096) + Be16(4096) + std::string(6, '\0');
  info += static_cast<char>(sampleRate >> 12);
  info += static_cast<char>(sampleRate >> 4);
  info += static_cast<char>((sampleRate & 0x0F) << 4 | (channels - 1) << 1 | (bits - 1) >> 4);
  info += static_cast<char>(((bits - 1) & 0x0F) << 4 | static_cast<unsigned>(samples >> 32));
  info += Be32(static_cast<std::uint32_t>(samples));
  info += std::string(16, '\0');  // MD5 signature
  return "fLaC" + std::string("\x80\x00\x00\x22", 4) + info;
}

// An 80-bit extended number holding a whole sample rate.
inline std::string Extended(std::uint32_t rate) {
  int top = 31;
  while (top > 0 && !(rate >> top & 1)) --top;
  const std::uint64_t mantissa = std::uint64_t{rate} << (63 - top);
  return Be16(static_cast<std::uint16_t>(16383 + top)) +
         Be32(static_cast<std::uint32_t>(mantissa >> 32)) +
         Be32(static_cast<std::uint32_t>(mantissa));
}

inline std::string AiffChunk(const std::string& id, const std::string& body) {
  return id + Be32(static_cast<std::uint32_t>(body.size())) + body +
         (body.size() % 2 != 0 ? std::string(1, '\0') : std::string());
}

// An AIFF (or, with a compression type, AIFC) file whose sound data chunk holds
// `soundBytes` zero bytes; `extra` chunks come between COMM and SSND.
inline std::string Aiff(std::uint16_t channels, std::uint32_t frames, std::uint16_t bits,
                        std::uint32_t rate, const std::string& compression = "",
                        const std::string& extra = "", std::uint32_t soundBytes = 16) {
  const std::string common = Be16(channels) + Be32(frames) + Be16(bits) + Extended(rate) +
                             (compression.empty() ? "" : compression + std::string(2, '\0'));
  const std::string body = (compression.empty() ? "AIFF" : "AIFC") + AiffChunk("COMM", common) +
                           extra + AiffChunk("SSND", std::string(8 + soundBytes, '\0'));
  return "FORM" + Be32(static_cast<std::uint32_t>(body.size())) + body;
}

// `aiff` with `chunks` appended and its FORM size counting them.
inline std::string WithAiffChunks(std::string aiff, const std::string& chunks) {
  aiff += chunks;
  aiff.replace(4, 4, Be32(static_cast<std::uint32_t>(aiff.size() - 8)));
  return aiff;
}

// The first page of an Ogg stream whose one packet is `packet` (its codec's
// identification: "\x01vorbis…", "OpusHead…"); the checksum is left zero.
inline std::string OggFirstPage(const std::string& packet) {
  return "OggS" + std::string(22, '\0') + '\x01' + static_cast<char>(packet.size()) + packet;
}

}  // namespace lumio::test
