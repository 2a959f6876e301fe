#include "core/tag_byte_stream.h"

#include <algorithm>
#include <limits>

#include "core/wave_reader.h"

namespace lumio {

namespace {

// Larger tags hold nothing worth reading (a cover picture, or a damaged size).
constexpr unsigned long kLargestRead = 16ul << 20;

}  // namespace

TagByteStream::TagByteStream(ByteSource& source, std::uint64_t length, std::string name)
    : source_(source),
      length_(static_cast<long>(std::min<std::uint64_t>(std::min(length, source.Length()),
                                                        std::numeric_limits<long>::max()))),
      name_(std::move(name)) {}

TagLib::ByteVector TagByteStream::readBlock(unsigned long length) {
  const long available = std::max(length_ - position_, 0l);
  const unsigned long size =
      std::min({length, kLargestRead, static_cast<unsigned long>(available)});
  if (size == 0) return {};
  TagLib::ByteVector bytes(static_cast<unsigned>(size), '\0');
  try {
    bytes.resize(static_cast<unsigned>(
        source_.ReadAt(static_cast<std::uint64_t>(position_), bytes.data(), size)));
  } catch (const SourceReadError&) {
    bytes.clear();
  }
  position_ += static_cast<long>(bytes.size());
  return bytes;
}

void TagByteStream::seek(long offset, Position from) {
  const long base = from == Beginning ? 0 : from == Current ? position_ : length_;
  position_ = std::max(base + offset, 0l);
}

}  // namespace lumio
