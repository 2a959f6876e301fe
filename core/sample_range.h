#pragma once

#include <cstdint>

namespace lumio {

// The part of a source file that a job encodes: a track of an image that a CUE sheet
// splits, in sample frames of the source's own rate.
struct SampleRange {
  std::uint64_t first = 0;
  std::uint64_t end = 0;  // one past the last frame; 0: to the end of the file
  // The whole file's length in frames, 0 when unknown: the track's share of the work.
  std::uint64_t fileFrames = 0;

  bool operator==(const SampleRange&) const = default;
};

// The bytes of a file of `fileSize` bytes that `range` covers, in proportion to its
// frames; the whole size when the file's length is unknown.
inline std::int64_t ShareOfFile(std::int64_t fileSize, const SampleRange& range) {
  if (range.fileFrames == 0 || fileSize <= 0) return fileSize;
  const std::uint64_t end = range.end != 0 ? range.end : range.fileFrames;
  const std::uint64_t frames = end > range.first ? end - range.first : 0;
  return static_cast<std::int64_t>(static_cast<double>(fileSize) * static_cast<double>(frames) /
                                   static_cast<double>(range.fileFrames));
}

}  // namespace lumio
