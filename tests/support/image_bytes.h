#pragma once

#include <cstddef>
#include <string>

namespace lumio::test {

// The first bytes of a JPEG and of a PNG file, then `size` filler bytes: what a check
// of an image's type reads, without a whole picture to decode.
inline std::string JpegBytes(std::size_t size = 16) {
  return "\xFF\xD8\xFF\xE0" + std::string(size, 'j');
}

inline std::string PngBytes(std::size_t size = 16) {
  return std::string("\x89PNG\r\n\x1A\n", 8) + std::string(size, 'p');
}

}  // namespace lumio::test
