#include "encode/ogg/ogg_page_spans.h"

#include <algorithm>

namespace lumio {

namespace {

constexpr std::size_t kPageHeaderSize = 27;  // before the lacing values
constexpr std::size_t kMostSegments = 255;
constexpr unsigned char kContinuedPacket = 0x01;
constexpr unsigned char kFirstPageOfStream = 0x02;

void PutLittleEndian(std::string& bytes, std::size_t at, std::uint64_t value, int size) {
  for (int i = 0; i < size; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i));
}

struct Segment {
  unsigned char lacing;
  bool startsPacket;
  bool endsPacket;
};

// The packets' bytes in order, handed out as spans of their parts.
class PartReader {
 public:
  explicit PartReader(const std::vector<PacketParts>& packets) {
    for (const PacketParts& packet : packets) {
      for (const PacketPart& part : packet) parts_.push_back(&part);
    }
  }

  // Calls take(part, begin, end) for the next `length` bytes, part by part.
  template <typename Take>
  void Next(std::size_t length, Take take) {
    while (length > 0) {
      const PacketPart& part = *parts_[index_];
      const std::size_t end = std::min(part.Bytes().size(), offset_ + length);
      if (end > offset_) take(part, offset_, end);
      length -= end - offset_;
      offset_ = end;
      if (offset_ == part.Bytes().size()) {
        ++index_;
        offset_ = 0;
      }
    }
  }

 private:
  std::vector<const PacketPart*> parts_;
  std::size_t index_ = 0;
  std::size_t offset_ = 0;
};

}  // namespace

std::uint32_t PacketPart::ChecksumOf(std::size_t begin, std::size_t end) const {
  if (shared_) return shared_->Checksums().Of(begin, end);
  return OggChecksum(std::string_view(own_).substr(begin, end - begin));
}

void OggPageSpans::AppendPackets(std::uint32_t serial, std::vector<PacketParts> given) {
  const std::vector<PacketParts>& packets = packets_.emplace_back(std::move(given));
  std::vector<Segment> segments;
  for (const PacketParts& packet : packets) {
    std::size_t size = 0;
    for (const PacketPart& part : packet) size += part.Bytes().size();
    const std::size_t count = size / 255 + 1;
    for (std::size_t i = 0; i < count; ++i) {
      const bool last = i + 1 == count;
      segments.push_back({static_cast<unsigned char>(last ? size % 255 : 255), i == 0, last});
    }
  }
  PartReader reader(packets);
  for (std::size_t first = 0; first < segments.size(); first += kMostSegments) {
    const std::size_t count = std::min(kMostSegments, segments.size() - first);
    std::string& header = headers_.emplace_back(kPageHeaderSize + count, '\0');
    header.replace(0, 4, "OggS");
    std::uint64_t position = ~std::uint64_t{0};
    std::size_t bodySize = 0;
    for (std::size_t i = 0; i < count; ++i) {
      const Segment& segment = segments[first + i];
      header[kPageHeaderSize + i] = static_cast<char>(segment.lacing);
      bodySize += segment.lacing;
      if (segment.endsPacket) position = 0;
    }
    header[5] = static_cast<char>((segments[first].startsPacket ? 0 : kContinuedPacket) |
                                  (pages_ == 0 ? kFirstPageOfStream : 0));
    PutLittleEndian(header, 6, position, 8);
    PutLittleEndian(header, 14, serial, 4);
    PutLittleEndian(header, 18, pages_, 4);
    header[26] = static_cast<char>(count);
    spans_.push_back(header);
    std::uint32_t checksum = OggChecksum(header);
    reader.Next(bodySize, [&](const PacketPart& part, std::size_t begin, std::size_t end) {
      spans_.push_back(part.Bytes().substr(begin, end - begin));
      checksum = CombineOggChecksums(checksum, part.ChecksumOf(begin, end), end - begin);
    });
    PutLittleEndian(header, 22, checksum, 4);
    ++pages_;
  }
}

void OggPageSpans::AppendPage(std::string_view header, std::string_view body) {
  spans_.push_back(headers_.emplace_back(header));
  spans_.push_back(body);
  ++pages_;
}

}  // namespace lumio
