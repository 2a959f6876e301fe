#include "ui/source_adder.h"

#include <QApplication>
#include <QProgressDialog>
#include <system_error>

#include "core/source_adding.h"
#include "ui/look.h"

namespace lumio {

namespace {

constexpr int kProgressDelayMs = 500;

QString ProgressText(int added) {
  return QStringLiteral("ファイルを追加しています… %1 件").arg(added);
}

}  // namespace

SourceAdder::SourceAdder(QWidget& window, PathRules rules, SourceAddFunction add,
                         FeedReadFunction read)
    : window_(window), rules_(rules), add_(std::move(add)), read_(std::move(read)) {
  progressDelay_.setSingleShot(true);
  progressDelay_.setInterval(kProgressDelayMs);
  connect(&progressDelay_, &QTimer::timeout, this, &SourceAdder::ShowProgress);
}

SourceAdder::~SourceAdder() { End(false); }

void SourceAdder::Add(const AddRequest& request) {
  if (!running_) {
    running_ = true;
    added_ = 0;
    failed_.clear();
    // Called on a feed thread: the batches are taken on this one, from the event loop.
    // The feed calls it under its lock and never once abandoned, and End abandons the
    // feed before this adder goes, so a feed thread that outlives the adder (a read
    // stuck in a stalled file) never reaches it.
    feed_ = std::make_unique<SourceFeed>(rules_, read_, [this] {
      QMetaObject::invokeMethod(this, &SourceAdder::TakeReady, Qt::QueuedConnection);
    });
    progressDelay_.start();
  }
  if (noThread_) {
    failed_.insert(failed_.end(), request.paths.begin(), request.paths.end());
    return;
  }
  try {
    feed_->Append(request);
  } catch (const std::system_error&) {
    // No thread to be had: nothing more of this run can be read. It ends from the event
    // loop like every run, after what the feed holds already has been taken.
    failed_.insert(failed_.end(), request.paths.begin(), request.paths.end());
    noThread_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
          if (noThread_) End(true);
        },
        Qt::QueuedConnection);
  }
}

void SourceAdder::TakeReady() {
  if (!running_) return;
  added_ += static_cast<int>(AddReadyBatches(*feed_, add_, failed_));
  if (feed_->Done()) {
    End(true);
  } else if (progress_) {
    progress_->setLabelText(ProgressText(added_));
  }
}

void SourceAdder::ShowProgress() {
  if (progress_ || !running_) return;
  QApplication::setOverrideCursor(Qt::BusyCursor);
  progress_ =
      new QProgressDialog(ProgressText(added_), QStringLiteral("キャンセル"), 0, 0, &window_);
  progress_->setObjectName(QStringLiteral("AddProgress"));
  progress_->setWindowTitle(QStringLiteral("フォルダ追加"));
  progress_->setFont(LumioFont());
  progress_->setWindowModality(Qt::WindowModal);
  progress_->setMinimumDuration(0);
  progress_->setAutoClose(false);
  progress_->setAutoReset(false);
  // Cancelling keeps what was added so far and reports the failures met until then;
  // from the event loop, so that the window's answer (a message box) does not run its
  // loop inside the cancel signal of a dialog that is going away.
  connect(
      progress_, &QProgressDialog::canceled, this, [this] { End(true); }, Qt::QueuedConnection);
  progress_->show();
}

void SourceAdder::End(bool emitFinished) {
  if (!running_) return;
  running_ = false;
  noThread_ = false;
  progressDelay_.stop();
  feed_.reset();  // a read still under way is abandoned, not waited for
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
  return "\n" + AddFailureSummary(failed);
}

}  // namespace lumio
