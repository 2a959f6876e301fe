#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "core/source_reading.h"
#include "core/source_walk.h"

class QProgressDialog;
class QWidget;

namespace lumio {

// Adds files and whole folders to the job list without holding the window up: as much
// as fits in one short slice is added at once, the rest in further slices from the
// event loop. Within a slice the files are read in batches, each batch on all of the
// machine's cores, and then appended in their order. When the work takes longer than
// half a second, a progress dialog counts the files and offers to cancel. Files that
// cannot be added are collected and handed over once, at the end.
class SourceAdder : public QObject {
  Q_OBJECT

 public:
  // Appends one file, read already, to the job list, with its place inside the folder
  // it was found in (see SourceWalk::Item); false when the file cannot be added.
  using AddFunction = std::function<bool(const std::string& path, const std::string& subfolder,
                                         SourceReading reading)>;

  SourceAdder(QWidget& window, PathRules rules, AddFunction add,
              std::chrono::milliseconds slice = std::chrono::milliseconds(30));
  ~SourceAdder() override;

  // Queues `paths` (see SourceWalk::Append) and works on them: Finished may be emitted
  // before this returns, when the work fits in one slice.
  void Add(const std::vector<std::string>& paths, bool takeAnyFile);
  bool Running() const { return running_; }
  // Ends the work without emitting Finished (the window is closing).
  void Stop();

 signals:
  // All queued work is done or was cancelled; `failed` lists the files that could not
  // be added (and folders that could not be read), in the order met.
  void Finished(const std::vector<std::string>& failed);

 private:
  void RunSlice();
  // Reads and appends up to batch_ files of the walk; false once the walk is done.
  bool AddBatch();
  void ShowProgress();
  void End(bool emitFinished);

  QWidget& window_;
  PathRules rules_;
  AddFunction add_;
  unsigned readers_;
  // Files read at once: grows while batches are quick, shrinks when one fills the slice,
  // so that slow files (a network folder) still leave the window responsive.
  std::size_t batch_ = 8;
  std::chrono::milliseconds slice_;
  SourceWalk walk_;
  std::vector<std::string> failed_;
  bool running_ = false;
  bool sliceScheduled_ = false;
  int added_ = 0;
  QElapsedTimer elapsed_;
  QPointer<QProgressDialog> progress_;
};

// The one message for files that could not be added: the first 20 paths, then how many
// more there are.
std::string AddFailureMessage(const std::vector<std::string>& failed);

}  // namespace lumio
