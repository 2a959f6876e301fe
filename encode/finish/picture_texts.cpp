#include "encode/finish/picture_texts.h"

#include <QByteArray>

namespace lumio {

std::shared_ptr<const SharedText> PictureTexts::TextOf(const std::string& block) {
  {
    const std::lock_guard lock(mutex_);
    for (auto entry = entries_.begin(); entry != entries_.end(); ++entry) {
      if (entry->block == block) {
        entries_.splice(entries_.begin(), entries_, entry);
        return entry->text;
      }
    }
  }
  // Made outside the lock: another thread's lookup need not wait for it.
  const QByteArray encoded =
      QByteArray::fromRawData(block.data(), static_cast<qsizetype>(block.size())).toBase64();
  auto text = std::make_shared<const SharedText>(
      std::string(encoded.constData(), static_cast<std::size_t>(encoded.size())));
  const std::lock_guard lock(mutex_);
  entries_.push_front({block, text});
  bytes_ += entries_.front().Bytes();
  // The newest stays, whatever its size.
  while (bytes_ > keptBytes_ && entries_.size() > 1) {
    bytes_ -= entries_.back().Bytes();
    entries_.pop_back();
  }
  return text;
}

}  // namespace lumio
