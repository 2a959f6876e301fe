#include "encode/finish/album_gain_writer.h"

#include <algorithm>
#include <exception>
#include <system_error>

namespace lumio {

AlbumGainWriter::AlbumGainWriter(const std::vector<PlannedJob>& jobs, bool active, bool carried)
    : tracker_(jobs, active, carried) {}

namespace {

// A mirror's albums, most of them only looked at, pass one after another on a few
// threads rather than on a thread each at once.
constexpr std::size_t kPassesAtOnce = 4;

}  // namespace

void AlbumGainWriter::Settled(std::size_t job, AlbumMember member) {
  std::optional<std::vector<AlbumMember>> members = tracker_.Settled(job, std::move(member));
  if (!members) return;
  waiting_.push_back({tracker_.FirstJobOfAlbum(job), std::move(*members)});
  StartWaiting();
}

void AlbumGainWriter::StartWaiting() {
  while (passes_.size() < kPassesAtOnce && !waiting_.empty()) {
    WaitingPass next = std::move(waiting_.front());
    waiting_.pop_front();
    const std::uint64_t pass = nextPass_++;
    auto failure = std::make_shared<std::string>();
    // Also called when a pass ends, from the event loop: a thread that cannot be started
    // becomes the album's note rather than an exception there.
    try {
      passes_[pass] = DetachedWork::Start(
          *this,
          [failure, members = std::move(next.members)] {
            try {
              *failure = WriteAlbumGain(members);
            } catch (const std::exception& fault) {
              *failure = fault.what();
            }
          },
          [this, pass, failure, first = next.firstJob] {
            passes_.erase(pass);
            if (!failure->empty()) Note(first, *failure);
            StartWaiting();
            emit PassEnded();
          });
    } catch (const std::system_error& fault) {
      Note(next.firstJob, fault.what());
    }
  }
}

void AlbumGainWriter::Note(std::size_t firstJob, const std::string& failure) {
  failures_.emplace_back(firstJob, "アルバムゲインを書き込めません: " + failure);
}

void AlbumGainWriter::Abandon() {
  for (auto& entry : passes_) entry.second->Drop();
  passes_.clear();
  waiting_.clear();
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
