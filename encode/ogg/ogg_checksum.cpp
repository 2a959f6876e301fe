#include "encode/ogg/ogg_checksum.h"

#include <ogg/ogg.h>

#include <array>

namespace lumio {

namespace {

constexpr std::uint32_t kPolynomial = 0x04c11db7;
constexpr std::size_t kBlock = 256;

// a * b modulo the polynomial, bit 31 being the highest power.
std::uint32_t MultiplyModulo(std::uint32_t a, std::uint32_t b) {
  std::uint32_t product = 0;
  for (int bit = 31; bit >= 0; --bit) {
    product = (product << 1) ^ ((product & 0x80000000u) != 0 ? kPolynomial : 0);
    if (((b >> bit) & 1u) != 0) product ^= a;
  }
  return product;
}

// x to the power 8 * bytes, modulo the polynomial: what moves a checksum past that many
// bytes of zeros. Made of the powers x^8, x^16, x^32, ..., worked out once.
std::uint32_t ShiftPast(std::size_t bytes) {
  static const std::array<std::uint32_t, 64> kPowers = [] {
    std::array<std::uint32_t, 64> powers{};
    powers[0] = 0x100;  // x^8
    for (std::size_t i = 1; i < powers.size(); ++i) {
      powers[i] = MultiplyModulo(powers[i - 1], powers[i - 1]);
    }
    return powers;
  }();
  std::uint32_t power = 1;
  for (std::size_t i = 0; bytes != 0; ++i, bytes >>= 1) {
    if ((bytes & 1) != 0) power = MultiplyModulo(power, kPowers[i]);
  }
  return power;
}

}  // namespace

std::uint32_t OggChecksum(std::string_view bytes) {
  // libogg sums a page's header and then its body; an empty header leaves the body's own
  // checksum, written where the header's would go.
  std::array<unsigned char, 27> header{};
  ogg_page page{header.data(), 0, reinterpret_cast<unsigned char*>(const_cast<char*>(bytes.data())),
                static_cast<long>(bytes.size())};
  ogg_page_checksum_set(&page);
  return static_cast<std::uint32_t>(header[22]) | static_cast<std::uint32_t>(header[23]) << 8 |
         static_cast<std::uint32_t>(header[24]) << 16 |
         static_cast<std::uint32_t>(header[25]) << 24;
}

std::uint32_t CombineOggChecksums(std::uint32_t first, std::uint32_t second,
                                  std::size_t secondLength) {
  return MultiplyModulo(first, ShiftPast(secondLength)) ^ second;
}

SpanChecksums::SpanChecksums(std::string_view text) : text_(text) {
  prefix_.reserve(text.size() / kBlock + 1);
  prefix_.push_back(0);
  const std::uint32_t pastBlock = ShiftPast(kBlock);
  for (std::size_t start = 0; start + kBlock <= text.size(); start += kBlock) {
    prefix_.push_back(MultiplyModulo(prefix_.back(), pastBlock) ^
                      OggChecksum(text.substr(start, kBlock)));
  }
}

std::uint32_t SpanChecksums::Of(std::size_t begin, std::size_t end) const {
  const std::size_t firstWhole = (begin + kBlock - 1) / kBlock;
  const std::size_t endWhole = end / kBlock;
  if (endWhole <= firstWhole) return OggChecksum(text_.substr(begin, end - begin));
  const std::size_t wholeLength = (endWhole - firstWhole) * kBlock;
  // The prefix up to the span's last whole block, less the prefix before its first.
  const std::uint32_t whole =
      prefix_[endWhole] ^ MultiplyModulo(prefix_[firstWhole], ShiftPast(wholeLength));
  const std::size_t headEnd = firstWhole * kBlock;
  const std::size_t tailStart = endWhole * kBlock;
  std::uint32_t checksum = OggChecksum(text_.substr(begin, headEnd - begin));
  checksum = CombineOggChecksums(checksum, whole, wholeLength);
  return CombineOggChecksums(checksum, OggChecksum(text_.substr(tailStart, end - tailStart)),
                             end - tailStart);
}

}  // namespace lumio
