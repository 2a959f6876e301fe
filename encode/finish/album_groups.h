#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "encode/run/batch_plan.h"

namespace lumio {

// What makes jobs one album: the same source folder, the same album field and the same
// album artist (empty when none is carried).
struct AlbumKey {
  std::string folder;
  std::string album;
  std::string albumArtist;
};

// The album key of one planned job; its album artist is the ALBUMARTIST field it
// carries, when `carried` (fields are carried into the outputs). A job that copies its
// source has no album.
AlbumKey AlbumKeyOf(const PlannedJob& job, bool carried);

// For each key, the number of its album (albums counted from 0 in the order of their
// first job), or nullopt for a job with an empty album field, which stands alone.
std::vector<std::optional<std::size_t>> GroupAlbums(const std::vector<AlbumKey>& keys);

}  // namespace lumio
