#include "encode/finish/album_fields.h"

#include <gtest/gtest.h>

#include <functional>

namespace lumio {
namespace {

using Tracks = std::vector<AlbumTrackFields>;

// Two tracks whose album fields were written for them. Sorted, each output's fields are:
// the tracks field, album gain, album peak, track gain, track peak.
Tracks WrittenAlbum() {
  Tracks tracks{
      {"01.ogg", {{"REPLAYGAIN_TRACK_GAIN", "+1.00 dB"}, {"REPLAYGAIN_TRACK_PEAK", "0.5"}}},
      {"02.ogg", {{"REPLAYGAIN_TRACK_GAIN", "-2.00 dB"}, {"REPLAYGAIN_TRACK_PEAK", "0.9"}}}};
  const std::string tracksValue = AlbumTracksValue(tracks);
  for (AlbumTrackFields& track : tracks) {
    track.fields.push_back({"REPLAYGAIN_ALBUM_GAIN", "-1.00 dB"});
    track.fields.push_back({"REPLAYGAIN_ALBUM_PEAK", "0.9"});
    track.fields.push_back({kAlbumTracksField, tracksValue});
    track.fields = SortedFields(track.fields);
  }
  return tracks;
}

TEST(AlbumFields, AnAlbumIsCurrentWhileItsOutputsHoldTheFieldsWrittenForExactlyThem) {
  const struct {
    const char* what;
    std::function<void(Tracks&)> change;
    bool current;
  } rows[] = {
      {"as written", [](Tracks&) {}, true},
      {"listed in another order", [](Tracks& t) { std::swap(t[0], t[1]); }, true},
      {"a track removed", [](Tracks& t) { t.pop_back(); }, false},
      {"a track added",
       [](Tracks& t) {
         AlbumTrackFields added = t[0];
         added.fileName = "03.ogg";
         t.push_back(added);
       },
       false},
      {"a track renamed", [](Tracks& t) { t[1].fileName = "2.ogg"; }, false},
      {"a track's gain changed", [](Tracks& t) { t[1].fields[3].second = "-2.01 dB"; }, false},
      {"a killed write: one output without album fields",
       [](Tracks& t) { t[1].fields.erase(t[1].fields.begin(), t[1].fields.begin() + 3); }, false},
      {"album gains that differ", [](Tracks& t) { t[1].fields[1].second = "-1.01 dB"; }, false},
      {"a field held twice",
       [](Tracks& t) { t[0].fields.insert(t[0].fields.begin(), t[0].fields[0]); }, false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    Tracks tracks = WrittenAlbum();
    row.change(tracks);
    EXPECT_EQ(AlbumFieldsCurrent(tracks), row.current);
  }
}

TEST(AlbumFields, FieldsOfTheAlbumPassAreReadInAnyLetterCase) {
  EXPECT_EQ(
      AlbumPassFields(
          {{"GENRE", "Pop"}, {"replaygain_track_gain", "+1.00 dB"}, {"Lumio_Album_Tracks", "2 ab"}},
          OutputFormat::Vorbis),
      (std::vector<CommentField>{{kAlbumTracksField, "2 ab"},
                                 {"REPLAYGAIN_TRACK_GAIN", "+1.00 dB"}}));
}

}  // namespace
}  // namespace lumio
