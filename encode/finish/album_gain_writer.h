#pragma once

#include <QObject>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "encode/finish/album_tracker.h"
#include "encode/report/run_report.h"
#include "encode/run/detached_work.h"

namespace lumio {

// Writes the album fields of a batch's albums as each becomes complete, on worker
// threads that nothing waits for, and tells in the report which albums got none and why.
class AlbumGainWriter : public QObject {
  Q_OBJECT

 public:
  // With `active` false it does nothing; `carried` as for AlbumTracker.
  AlbumGainWriter(const std::vector<PlannedJob>& jobs, bool active, bool carried);
  ~AlbumGainWriter() override { Abandon(); }

  // The output of `job` is final (see AlbumTracker::Settled); the album it completes has
  // its fields brought up to date.
  void Settled(std::size_t job, AlbumMember member);
  void Failed(std::size_t job) { tracker_.Failed(job); }
  // Whether album fields are being written or wait to be.
  bool Busy() const { return !passes_.empty() || !waiting_.empty(); }
  // Stops waiting for the albums being written: their ends are no longer told. An output
  // being written keeps its old fields until its rewritten copy is whole.
  void Abandon();
  // Adds to the first block of each album without album fields the reason why.
  void AddNotes(std::vector<std::optional<JobOutcome>>& outcomes) const;

 signals:
  // An album's fields have been written, or failed to be.
  void PassEnded();

 private:
  // An album whose pass waits for one of those running to end.
  struct WaitingPass {
    std::size_t firstJob;
    std::vector<AlbumMember> members;
  };

  // Starts waiting passes while fewer than kPassesAtOnce run.
  void StartWaiting();
  // Tells on the album's first job why its fields were not written.
  void Note(std::size_t firstJob, const std::string& failure);

  AlbumTracker tracker_;
  std::deque<WaitingPass> waiting_;
  std::map<std::uint64_t, std::shared_ptr<DetachedWork>> passes_;
  std::uint64_t nextPass_ = 0;
  std::vector<std::pair<std::size_t, std::string>> failures_;  // first job, note
};

}  // namespace lumio
