#pragma once

#include <taglib/tiostream.h>

#include <cstdint>
#include <string>

#include "core/byte_source.h"

namespace lumio {

// The first `length` bytes of a ByteSource, read-only, as TagLib reads a file. TagLib
// then sees only what Lumio's own walk has checked (no chunk behind it), and no single
// read of TagLib takes more than 16 MB, whatever size a tag declares: a tag reader's
// memory stays bounded per file. A failed read gives TagLib no bytes, which it takes
// as the end of the file.
class TagByteStream : public TagLib::IOStream {
 public:
  TagByteStream(ByteSource& source, std::uint64_t length, std::string name);

  TagLib::FileName name() const override { return name_.c_str(); }
  TagLib::ByteVector readBlock(unsigned long length) override;
  void writeBlock(const TagLib::ByteVector&) override {}
  void insert(const TagLib::ByteVector&, unsigned long, unsigned long) override {}
  void removeBlock(unsigned long, unsigned long) override {}
  bool readOnly() const override { return true; }
  bool isOpen() const override { return true; }
  void seek(long offset, Position from) override;
  long tell() const override { return position_; }
  long length() override { return length_; }
  void truncate(long) override {}

 private:
  ByteSource& source_;
  long length_;
  long position_ = 0;
  std::string name_;
};

}  // namespace lumio
