#include "encode/album_gain_writer.h"

#include <QtConcurrent/QtConcurrentRun>
#include <algorithm>
#include <exception>

namespace lumio {

AlbumGainWriter::AlbumGainWriter(const std::vector<PlannedJob>& jobs, bool active, bool carried)
    : tracker_(jobs, active, carried) {}

void AlbumGainWriter::Settled(std::size_t job, const std::string& outputPath,
                              std::shared_ptr<const LoudnessMeter> loudness) {
  std::optional<std::vector<AlbumMember>> members =
      tracker_.Settled(job, outputPath, std::move(loudness));
  if (!members) return;
  auto pass = std::make_unique<QFutureWatcher<std::string>>();
  QFutureWatcher<std::string>* watcher = pass.get();
  const std::size_t first = tracker_.FirstJobOfAlbum(job);
  connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, first] {
    auto done = std::find_if(passes_.begin(), passes_.end(),
                             [watcher](const auto& pass) { return pass.get() == watcher; });
    std::unique_ptr<QFutureWatcher<std::string>> ended = std::move(*done);
    passes_.erase(done);
    ended.release()->deleteLater();  // the sender of this signal
    std::string failure;
    try {
      failure = watcher->result();
    } catch (const std::exception& fault) {  // the worker's, rethrown here
      failure = fault.what();
    }
    if (!failure.empty())
      failures_.emplace_back(first, "アルバムゲインを書き込めません: " + failure);
    emit PassEnded();
  });
  watcher->setFuture(QtConcurrent::run(WriteAlbumGain, std::move(*members)));
  passes_.push_back(std::move(pass));
}

void AlbumGainWriter::AddNotes(std::vector<std::optional<JobOutcome>>& outcomes) const {
  std::vector<std::pair<std::size_t, std::string>> notes = failures_;
  for (const std::size_t first : tracker_.FirstJobsOfIncompleteAlbums()) {
    notes.emplace_back(first, "アルバムの一部が失敗したため、アルバムゲインは書き込まれていません");
  }
  for (auto& [job, note] : notes) {
    if (outcomes[job]) outcomes[job]->notes.push_back(std::move(note));
  }
}

}  // namespace lumio
