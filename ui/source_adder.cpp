#include "ui/source_adder.h"

#include <QApplication>
#include <QProgressDialog>
#include <QTimer>
#include <algorithm>

#include "ui/look.h"
#include "ui/name_list.h"

namespace lumio {

namespace {

constexpr int kProgressDelayMs = 500;
// The most files read at once (see batch_).
constexpr std::size_t kLargestBatch = 1024;

QString ProgressText(int added) {
  return QStringLiteral("ファイルを追加しています… %1 件").arg(added);
}

}  // namespace

SourceAdder::SourceAdder(QWidget& window, PathRules rules, AddFunction add,
                         std::chrono::milliseconds slice)
    : window_(window),
      rules_(rules),
      add_(std::move(add)),
      readers_(SourceReaderCount()),
      slice_(slice),
      walk_(rules) {}

SourceAdder::~SourceAdder() { End(false); }

void SourceAdder::Add(const std::vector<std::string>& paths, bool takeAnyFile) {
  walk_.Append(paths, takeAnyFile);
  if (running_) return;  // the slices already under way take these too
  running_ = true;
  added_ = 0;
  failed_.clear();
  elapsed_.start();
  // A slice still due from an earlier run that was cancelled carries on with this one.
  if (!sliceScheduled_) RunSlice();
}

void SourceAdder::RunSlice() {
  sliceScheduled_ = false;
  if (!running_) return;
  QElapsedTimer slice;
  slice.start();
  while (slice.elapsed() < slice_.count()) {
    if (!AddBatch()) {
      End(true);
      return;
    }
  }
  if (elapsed_.elapsed() >= kProgressDelayMs) ShowProgress();
  if (progress_) progress_->setLabelText(ProgressText(added_));
  // The rest comes from the event loop, which meanwhile paints and takes input.
  sliceScheduled_ = true;
  QTimer::singleShot(0, this, &SourceAdder::RunSlice);
}

bool SourceAdder::AddBatch() {
  std::vector<SourceWalk::Item> items;
  std::vector<std::string> paths;
  bool more = true;
  while (items.size() < batch_) {
    std::optional<SourceWalk::Item> item = walk_.Next();
    if (!item) {
      more = false;
      break;
    }
    if (!item->unreadableFolder) paths.push_back(item->path);
    items.push_back(std::move(*item));
  }
  QElapsedTimer reading;
  reading.start();
  std::vector<SourceReading> readings = ReadSources(paths, rules_, readers_);
  if (reading.elapsed() * 4 < slice_.count()) {
    batch_ = std::min(batch_ * 2, kLargestBatch);
  } else if (reading.elapsed() > slice_.count()) {
    batch_ = std::max<std::size_t>(batch_ / 2, 1);
  }
  std::size_t next = 0;
  for (const SourceWalk::Item& item : items) {
    if (item.unreadableFolder || !add_(item.path, item.subfolder, std::move(readings[next++]))) {
      failed_.push_back(item.path);
    } else {
      ++added_;
    }
  }
  return more;
}

void SourceAdder::ShowProgress() {
  if (progress_) return;
  QApplication::setOverrideCursor(Qt::BusyCursor);
  progress_ =
      new QProgressDialog(ProgressText(added_), QStringLiteral("キャンセル"), 0, 0, &window_);
  progress_->setWindowTitle(QStringLiteral("フォルダ追加"));
  progress_->setFont(LumioFont());
  progress_->setWindowModality(Qt::WindowModal);
  progress_->setMinimumDuration(0);
  progress_->setAutoClose(false);
  progress_->setAutoReset(false);
  // Cancelling keeps what was added so far and reports the failures met until then.
  connect(progress_, &QProgressDialog::canceled, this, [this] { End(true); });
  progress_->show();
}

void SourceAdder::End(bool emitFinished) {
  if (!running_) return;
  running_ = false;
  walk_.Clear();
  if (progress_) {
    QApplication::restoreOverrideCursor();
    progress_->deleteLater();
    progress_ = nullptr;
  }
  std::vector<std::string> failed = std::move(failed_);
  failed_.clear();
  if (emitFinished) emit Finished(failed);
}

void SourceAdder::Stop() { End(false); }

std::string AddFailureMessage(const std::vector<std::string>& failed) {
  return "\n次のファイルを追加できませんでした（" + std::to_string(failed.size()) + " 件）" +
         FirstNamesThenCount(failed);
}

}  // namespace lumio
