#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <vector>

#include "encode/finish/album_gain_step.h"
#include "encode/run/batch_plan.h"

namespace lumio {

// Follows the albums of one batch while its jobs end: tells when an album is complete,
// so that its album fields can be written, and which albums ended without them.
class AlbumTracker {
 public:
  // With `active` false (no album fields wanted) no job belongs to an album; `carried`
  // tells whether the jobs' carried fields (their album artist) reach the outputs.
  AlbumTracker(const std::vector<PlannedJob>& jobs, bool active, bool carried);

  // Job `job` has its final output, `member`: encoded, with its loudness, or left as it
  // was (up to date), without. The album's members when this was its last job, also when
  // none was encoded: the album pass then checks that their album fields are current.
  std::optional<std::vector<AlbumMember>> Settled(std::size_t job, AlbumMember member);
  // Job `job` failed or was cancelled: its album gets no album fields (a failed job
  // never settles, so its album never completes) and is reported.
  void Failed(std::size_t job);
  // The first job of each album that some job reached but that did not get complete.
  std::vector<std::size_t> FirstJobsOfIncompleteAlbums() const;
  // The first job of the album that `job` belongs to.
  std::size_t FirstJobOfAlbum(std::size_t job) const;

 private:
  struct Album {
    std::vector<std::size_t> jobs;  // in list order
    std::vector<AlbumMember> members;
    bool failed = false;
  };

  std::vector<std::optional<std::size_t>> albumOf_;
  std::vector<Album> albums_;
};

}  // namespace lumio
