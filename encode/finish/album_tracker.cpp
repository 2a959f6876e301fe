#include "encode/finish/album_tracker.h"

#include "encode/finish/album_groups.h"

namespace lumio {

AlbumTracker::AlbumTracker(const std::vector<PlannedJob>& jobs, bool active, bool carried)
    : albumOf_(jobs.size()) {
  if (!active) return;
  std::vector<AlbumKey> keys;
  keys.reserve(jobs.size());
  for (const PlannedJob& job : jobs) keys.push_back(AlbumKeyOf(job, carried));
  albumOf_ = GroupAlbums(keys);
  for (std::size_t job = 0; job < jobs.size(); ++job) {
    if (!albumOf_[job]) continue;
    if (*albumOf_[job] >= albums_.size()) albums_.resize(*albumOf_[job] + 1);
    albums_[*albumOf_[job]].jobs.push_back(job);
  }
}

std::optional<std::vector<AlbumMember>> AlbumTracker::Settled(std::size_t job, AlbumMember member) {
  if (!albumOf_[job]) return std::nullopt;
  Album& album = albums_[*albumOf_[job]];
  album.members.push_back(std::move(member));
  if (album.members.size() < album.jobs.size()) return std::nullopt;
  return album.members;
}

void AlbumTracker::Failed(std::size_t job) {
  if (albumOf_[job]) albums_[*albumOf_[job]].failed = true;
}

std::vector<std::size_t> AlbumTracker::FirstJobsOfIncompleteAlbums() const {
  std::vector<std::size_t> firsts;
  for (const Album& album : albums_) {
    const bool reached = album.failed || !album.members.empty();
    if (reached && (album.failed || album.members.size() < album.jobs.size())) {
      firsts.push_back(album.jobs.front());
    }
  }
  return firsts;
}

std::size_t AlbumTracker::FirstJobOfAlbum(std::size_t job) const {
  return albumOf_[job] ? albums_[*albumOf_[job]].jobs.front() : job;
}

}  // namespace lumio
