#include "encode/finish/album_groups.h"

#include <map>
#include <tuple>

namespace lumio {

AlbumKey AlbumKeyOf(const PlannedJob& job, bool carried) {
  const std::size_t slash = job.inputPath.rfind('/');
  AlbumKey key{slash == std::string::npos ? std::string() : job.inputPath.substr(0, slash + 1),
               job.record.Album, std::string()};
  // A copied source keeps its own bytes: it stands alone, and no album pass writes to it.
  if (job.copy) key.album.clear();
  if (carried) {
    for (const CarriedField& field : job.record.Carried.Fields) {
      if (field.Name == "ALBUMARTIST") {
        key.albumArtist = field.Value;
        break;
      }
    }
  }
  return key;
}

std::vector<std::optional<std::size_t>> GroupAlbums(const std::vector<AlbumKey>& keys) {
  std::map<std::tuple<std::string, std::string, std::string>, std::size_t> albums;
  std::vector<std::optional<std::size_t>> groups;
  groups.reserve(keys.size());
  for (const AlbumKey& key : keys) {
    if (key.album.empty()) {
      groups.emplace_back();
      continue;
    }
    const auto [place, added] =
        albums.try_emplace({key.folder, key.album, key.albumArtist}, albums.size());
    groups.emplace_back(place->second);
  }
  return groups;
}

}  // namespace lumio
