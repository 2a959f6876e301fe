#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace lumio {

// The checksum of an Ogg page (CRC-32 of polynomial 0x04c11db7, unreflected, from zero,
// not inverted at the end) over `bytes`, computed by libogg.
std::uint32_t OggChecksum(std::string_view bytes);

// The checksum of A followed by B, from the checksum of A, that of B and the length of
// B. The checksum is linear, so that A's part is A's checksum moved on by B's bits.
std::uint32_t CombineOggChecksums(std::uint32_t first, std::uint32_t second,
                                  std::size_t secondLength);

// The checksums of any span of a long text, after one pass over it: a page cut from a
// picture that several outputs carry costs a few steps, not a pass over its bytes.
class SpanChecksums {
 public:
  // Holds on to `text`, which must outlive this.
  explicit SpanChecksums(std::string_view text);

  // The checksum of the bytes from `begin` to `end`, which lie within the text.
  std::uint32_t Of(std::size_t begin, std::size_t end) const;

 private:
  std::string_view text_;
  // prefix_[i]: the checksum of the first i * kBlock bytes.
  std::vector<std::uint32_t> prefix_;
};

}  // namespace lumio
