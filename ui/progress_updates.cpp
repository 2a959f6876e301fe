#include "ui/progress_updates.h"

#include "ui/progress_window.h"

namespace lumio {

ProgressUpdates::ProgressUpdates(TProgressWindow& window, int intervalMs) : window_(window) {
  timer_.setSingleShot(true);
  timer_.setInterval(intervalMs);
  connect(&timer_, &QTimer::timeout, this, &ProgressUpdates::Flush);
}

void ProgressUpdates::Reset(int lanes) {
  timer_.stop();
  fileText_.reset();
  caption_.reset();
  resetFileCount_ = false;
  batch_.reset();
  lanes_.assign(static_cast<std::size_t>(lanes), Lane());
}

void ProgressUpdates::SetFileText(const QString& text) {
  fileText_ = text;
  Changed();
}

void ProgressUpdates::SetCaption(const QString& caption) {
  caption_ = caption;
  Changed();
}

void ProgressUpdates::ResetFileCount() {
  resetFileCount_ = true;
  Changed();
}

void ProgressUpdates::SetLane(int lane, const QString& text, double fraction) {
  if (lane < 0 || lane >= static_cast<int>(lanes_.size())) {
    return;
  }
  lanes_[static_cast<std::size_t>(lane)] = {text, fraction, true};
  Changed();
}

void ProgressUpdates::SetBatch(double fraction, std::optional<std::int64_t> remainingMs) {
  batch_ = std::make_pair(fraction, remainingMs);
  Changed();
}

void ProgressUpdates::Changed() {
  if (!timer_.isActive()) {
    Flush();
    timer_.start();
  }
}

void ProgressUpdates::Flush() {
  if (fileText_) {
    window_.SetEncodeFileText(*fileText_);
    fileText_.reset();
  }
  if (caption_) {
    window_.setWindowTitle(*caption_);
    caption_.reset();
  }
  if (resetFileCount_) {
    window_.ResetFileCount();
    resetFileCount_ = false;
  }
  for (std::size_t lane = 0; lane < lanes_.size(); ++lane) {
    if (lanes_[lane].changed) {
      window_.SetLane(static_cast<int>(lane), lanes_[lane].text, lanes_[lane].fraction);
      lanes_[lane].changed = false;
    }
  }
  if (batch_) {
    window_.SetBatchProgress(batch_->first, batch_->second);
    batch_.reset();
  }
}

}  // namespace lumio
