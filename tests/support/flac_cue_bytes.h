#pragma once

// FLAC files whose metadata holds a cue sheet, as a CUESHEET block or a comment.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "support/sound_bytes.h"
#include "support/wave_bytes.h"

namespace lumio::test {

// Four seconds of 16-bit stereo at 44.1 kHz.
constexpr std::uint64_t kCueImageFrames = 176400;

inline std::string Be64(std::uint64_t value) {
  return Be32(static_cast<std::uint32_t>(value >> 32)) + Be32(static_cast<std::uint32_t>(value));
}

inline std::string FlacBlockBytes(unsigned type, const std::string& body, bool last) {
  const auto size = static_cast<std::uint32_t>(body.size());
  return std::string(1, static_cast<char>(type | (last ? 0x80u : 0u))) + Be32(size).substr(1) +
         body;
}

struct CueIndex {
  std::uint64_t offset;
  unsigned number;
};

inline std::string CueTrackBytes(std::uint64_t offset, unsigned number,
                                 const std::vector<CueIndex>& indexes) {
  std::string track = Be64(offset) + static_cast<char>(number) + std::string(12, '\0') +
                      std::string(1, '\0') + std::string(13, '\0') +
                      static_cast<char>(indexes.size());
  for (const CueIndex& index : indexes) {
    track += Be64(index.offset) + static_cast<char>(index.number) + std::string(3, '\0');
  }
  return track;
}

// Three tracks: the third with a pregap (INDEX 00) before its INDEX 01.
inline std::string ThreeTrackCueBlock() {
  return std::string(136, '\0') + '\x80' + std::string(258, '\0') + '\x04' +
         CueTrackBytes(0, 1, {{0, 1}}) + CueTrackBytes(44100, 2, {{0, 1}}) +
         CueTrackBytes(88200, 3, {{0, 0}, {588, 1}}) + CueTrackBytes(kCueImageFrames, 170, {});
}

inline std::string VorbisCommentBody(const std::vector<std::string>& fields) {
  std::string body = Le32(2) + "lu" + Le32(static_cast<std::uint32_t>(fields.size()));
  for (const std::string& field : fields) {
    body += Le32(static_cast<std::uint32_t>(field.size())) + field;
  }
  return body;
}

// A FLAC file whose metadata blocks behind STREAMINFO are `blocks`.
inline std::string FlacWithBlocks(const std::vector<std::pair<unsigned, std::string>>& blocks) {
  std::string flac = FlacStart(44100, 2, 16, kCueImageFrames);
  flac[4] = '\0';  // STREAMINFO is not the last block
  for (std::size_t i = 0; i < blocks.size(); ++i) {
    flac += FlacBlockBytes(blocks[i].first, blocks[i].second, i + 1 == blocks.size());
  }
  return flac + std::string(64, '\0');
}

}  // namespace lumio::test
