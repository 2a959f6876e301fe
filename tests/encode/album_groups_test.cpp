#include "encode/finish/album_groups.h"

#include <gtest/gtest.h>

namespace lumio {
namespace {

using Groups = std::vector<std::optional<std::size_t>>;

TEST(GroupAlbums, SameFolderAlbumAndAlbumArtistMakeOneAlbum) {
  const struct {
    const char* what;
    std::vector<AlbumKey> keys;
    Groups groups;
  } rows[] = {
      {"one album, in list order",
       {{"/m/a/", "A", ""}, {"/m/a/", "A", ""}, {"/m/a/", "A", ""}},
       {0, 0, 0}},
      {"another folder is another album",
       {{"/m/a/", "Best", ""}, {"/m/b/", "Best", ""}, {"/m/a/", "Best", ""}},
       {0, 1, 0}},
      {"another album field in the same folder",
       {{"/m/a/", "One", ""}, {"/m/a/", "Two", ""}},
       {0, 1}},
      {"another album artist",
       {{"/m/a/", "Hits", "X"}, {"/m/a/", "Hits", "Y"}, {"/m/a/", "Hits", "X"}},
       {0, 1, 0}},
      {"an empty album field stands alone",
       {{"/m/a/", "", ""}, {"/m/a/", "A", ""}, {"/m/a/", "", ""}},
       {std::nullopt, 0, std::nullopt}},
      {"case matters, as in the tags", {{"/m/a/", "abc", ""}, {"/m/a/", "ABC", ""}}, {0, 1}},
      {"albums numbered by their first job",
       {{"/m/b/", "B", ""}, {"/m/a/", "A", ""}, {"/m/b/", "B", ""}},
       {0, 1, 0}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    EXPECT_EQ(GroupAlbums(row.keys), row.groups);
  }
}

TEST(GroupAlbums, KeyOfAJobIsItsSourceFolderAlbumAndCarriedAlbumArtist) {
  PlannedJob job;
  job.inputPath = "/music/Artist/Album/01.wav";
  job.record.Album = "Album";
  job.record.Carried.Fields = {{"GENRE", "Pop"}, {"ALBUMARTIST", "Various"}};
  const AlbumKey carried = AlbumKeyOf(job, true);
  EXPECT_EQ(carried.folder, "/music/Artist/Album/");
  EXPECT_EQ(carried.album, "Album");
  EXPECT_EQ(carried.albumArtist, "Various");
  // Not carried into the outputs, it makes no difference to the albums.
  EXPECT_EQ(AlbumKeyOf(job, false).albumArtist, "");
  // A copied source is left as it is: it belongs to no album.
  job.copy = true;
  EXPECT_EQ(AlbumKeyOf(job, true).album, "");
}

}  // namespace
}  // namespace lumio
