#include "encode/finish/album_fields.h"

#include <QCryptographicHash>
#include <algorithm>
#include <optional>

#include "platform/ascii_case.h"

namespace lumio {

namespace {

// The digest is cut to 64 bits: enough to tell one album's track lists apart.
constexpr qsizetype kDigestHexDigits = 16;

std::optional<std::string> ValueOf(const AlbumTrackFields& track, const std::string& name) {
  const auto found =
      std::find_if(track.fields.begin(), track.fields.end(),
                   [&name](const CommentField& field) { return field.first == name; });
  return found == track.fields.end() ? std::nullopt : std::optional(found->second);
}

bool EachFieldOnce(const AlbumTrackFields& track) {
  return std::adjacent_find(track.fields.begin(), track.fields.end(),
                            [](const CommentField& a, const CommentField& b) {
                              return a.first == b.first;
                            }) == track.fields.end();
}

}  // namespace

std::vector<CommentField> AlbumPassFields(const std::vector<CarriedField>& fields,
                                          OutputFormat format) {
  const std::vector<std::string>& names = ReplayGainFieldNames(format);
  std::vector<CommentField> passFields;
  for (const CarriedField& field : fields) {
    const auto named = std::find_if(names.begin(), names.end(), [&field](const std::string& name) {
      return SameTextIgnoringAsciiCase(field.Name, name);
    });
    if (named != names.end()) passFields.emplace_back(*named, field.Value);
  }
  return SortedFields(std::move(passFields));
}

std::vector<CommentField> SortedFields(std::vector<CommentField> fields) {
  std::sort(fields.begin(), fields.end());
  return fields;
}

std::string AlbumTracksValue(const std::vector<AlbumTrackFields>& tracks) {
  std::vector<const AlbumTrackFields*> byName;
  for (const AlbumTrackFields& track : tracks) byName.push_back(&track);
  std::sort(byName.begin(), byName.end(),
            [](const auto* a, const auto* b) { return a->fileName < b->fileName; });
  QCryptographicHash digest(QCryptographicHash::Sha256);
  for (const AlbumTrackFields* track : byName) {
    std::string line = track->fileName;
    for (const char* name : {"REPLAYGAIN_TRACK_GAIN", "REPLAYGAIN_TRACK_PEAK", "R128_TRACK_GAIN"}) {
      line += '\0' + ValueOf(*track, name).value_or(std::string());
    }
    digest.addData(QByteArray::fromStdString(line + '\n'));
  }
  return std::to_string(tracks.size()) + " " +
         digest.result().toHex().left(kDigestHexDigits).toStdString();
}

bool AlbumFieldsCurrent(const std::vector<AlbumTrackFields>& tracks) {
  if (tracks.empty()) return true;
  const std::string tracksValue = AlbumTracksValue(tracks);
  return std::all_of(tracks.begin(), tracks.end(), [&](const AlbumTrackFields& track) {
    return EachFieldOnce(track) && ValueOf(track, kAlbumTracksField) == tracksValue &&
           ValueOf(track, "REPLAYGAIN_ALBUM_GAIN") ==
               ValueOf(tracks.front(), "REPLAYGAIN_ALBUM_GAIN") &&
           ValueOf(track, "REPLAYGAIN_ALBUM_PEAK") ==
               ValueOf(tracks.front(), "REPLAYGAIN_ALBUM_PEAK") &&
           ValueOf(track, "R128_ALBUM_GAIN") == ValueOf(tracks.front(), "R128_ALBUM_GAIN");
  });
}

}  // namespace lumio
