#pragma once

#include <cstddef>
#include <list>
#include <memory>
#include <mutex>
#include <string>

#include "encode/ogg/ogg_page_spans.h"

namespace lumio {

// The base64 texts of the PICTURE blocks that a batch's outputs carry, made once for
// each block: the tracks of an album mostly carry one cover, and its text and checksums
// then serve them all. Safe to call from several finishing threads at once. Holds the
// texts of the blocks last asked for, up to a bound in bytes, for as long as it lives.
class PictureTexts {
 public:
  explicit PictureTexts(std::size_t keptBytes = std::size_t{64} << 20) : keptBytes_(keptBytes) {}

  // The text of `block`: the one made before for the same bytes, or a new one.
  std::shared_ptr<const SharedText> TextOf(const std::string& block);

 private:
  struct Entry {
    std::string block;
    std::shared_ptr<const SharedText> text;
    std::size_t Bytes() const { return block.size() + text->Text().size(); }
  };

  const std::size_t keptBytes_;
  std::mutex mutex_;
  std::list<Entry> entries_;  // the one asked for last first
  std::size_t bytes_ = 0;
};

}  // namespace lumio
