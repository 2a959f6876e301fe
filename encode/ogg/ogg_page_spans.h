#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "encode/ogg/ogg_checksum.h"

namespace lumio {

// A text that several outputs carry alike (the base64 of a shared cover picture), with
// the checksums of its spans worked out once.
class SharedText {
 public:
  explicit SharedText(std::string text) : text_(std::move(text)), checksums_(text_) {}
  SharedText(const SharedText&) = delete;
  SharedText& operator=(const SharedText&) = delete;

  const std::string& Text() const { return text_; }
  const SpanChecksums& Checksums() const { return checksums_; }

 private:
  const std::string text_;
  const SpanChecksums checksums_;  // over text_, so declared after it
};

// One part of a packet: bytes of its own, or a shared text.
class PacketPart {
 public:
  explicit PacketPart(std::string bytes) : own_(std::move(bytes)) {}
  explicit PacketPart(std::shared_ptr<const SharedText> shared) : shared_(std::move(shared)) {}

  std::string_view Bytes() const { return shared_ ? shared_->Text() : own_; }
  // The checksum of the bytes from `begin` to `end`.
  std::uint32_t ChecksumOf(std::size_t begin, std::size_t end) const;

 private:
  std::string own_;
  std::shared_ptr<const SharedText> shared_;
};

// A packet as the parts that follow one another in it.
using PacketParts = std::vector<PacketPart>;

// Ogg pages as a list of spans of bytes: the page headers, held here, and the bodies,
// left where they lie (in packet parts, or in a file read whole), so that a page of a
// megabyte picture is neither copied nor summed byte by byte.
class OggPageSpans {
 public:
  // `packets` as pages of stream `serial`, laid out as libogg flushes them: the first
  // packet starts a new page, the packets fill pages of up to 255 lacing values, and
  // each page's position is 0 if a packet ends on it and -1 if none does. Pages are
  // numbered on from those before; the first page of all is marked as the stream's start.
  // The packets are kept here, for the spans that point into them.
  void AppendPackets(std::uint32_t serial, std::vector<PacketParts> packets);

  // A whole page: its header is copied, its body stays where it is.
  void AppendPage(std::string_view header, std::string_view body);

  std::uint32_t PageCount() const { return pages_; }
  const std::vector<std::string_view>& Spans() const { return spans_; }

 private:
  // Deques, whose elements stay where they are: spans point into them.
  std::deque<std::string> headers_;
  std::deque<std::vector<PacketParts>> packets_;
  std::vector<std::string_view> spans_;
  std::uint32_t pages_ = 0;
};

}  // namespace lumio
