#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <memory>
#include <string>
#include <vector>

#include "core/source_adding.h"
#include "core/source_feed.h"

class QProgressDialog;
class QWidget;

namespace lumio {

// Adds files and whole folders to the job list without ever holding the window up: the
// folders are walked and the files read on threads of their own (see SourceFeed), and
// each batch of readings is appended from the event loop when it is ready, in walk
// order. When the work takes longer than half a second, a progress dialog counts the
// files and offers to cancel; cancel returns at once, even while a file is stuck in a
// read, whose reading is then dropped. Files that cannot be added are collected and
// handed over once, at the end.
class SourceAdder : public QObject {
  Q_OBJECT

 public:
  // `read` reads one file; tests put a reader of their own in place of ReadSource.
  SourceAdder(QWidget& window, PathRules rules, SourceAddFunction add, FeedReadFunction read = {});
  ~SourceAdder() override;

  // Queues the request behind the work under way. Finished is emitted later, from the
  // event loop.
  void Add(const AddRequest& request);
  bool Running() const { return running_; }
  // Ends the work without emitting Finished (the window is closing).
  void Stop();

 signals:
  // All queued work is done or was cancelled; `failed` lists the files that could not
  // be added (and folders that could not be read), in the order met.
  void Finished(const std::vector<std::string>& failed);

 private:
  // Appends the batches that are ready; ends the work when the feed is done.
  void TakeReady();
  void ShowProgress();
  void End(bool emitFinished);

  QWidget& window_;
  PathRules rules_;
  SourceAddFunction add_;
  FeedReadFunction read_;
  // One feed per run: a cancelled run's feed goes, with whatever it still holds.
  std::unique_ptr<SourceFeed> feed_;
  std::vector<std::string> failed_;
  bool running_ = false;
  // No feed thread could be started: the run only collects what is added to it as
  // failed until it ends.
  bool noThread_ = false;
  int added_ = 0;
  QTimer progressDelay_;
  QPointer<QProgressDialog> progress_;
};

// The one message for files that could not be added: the first 20 paths, then how many
// more there are.
std::string AddFailureMessage(const std::vector<std::string>& failed);

}  // namespace lumio
