#pragma once

#include <string>
#include <vector>

#include "core/carried_tags.h"
#include "encode/finish/replaygain_fields.h"

namespace lumio {

// The album pass's fields of one output, as it holds them or is to hold them.
struct AlbumTrackFields {
  std::string fileName;  // the output's, without its folder
  // The fields named in ReplayGainFieldNames() of the output's format, with those
  // names, sorted.
  std::vector<CommentField> fields;
};

// The album pass's fields for an output of `format` among `fields` (names in any letter
// case), as AlbumTrackFields holds them.
std::vector<CommentField> AlbumPassFields(const std::vector<CarriedField>& fields,
                                          OutputFormat format);

// `fields` in the order AlbumTrackFields holds them.
std::vector<CommentField> SortedFields(std::vector<CommentField> fields);

// The value of kAlbumTracksField for an album of `tracks`, in any order.
std::string AlbumTracksValue(const std::vector<AlbumTrackFields>& tracks);

// Whether `tracks` hold album fields written for exactly these tracks: each field once,
// the tracks field with the value they give, and one album gain (and peak) in all.
bool AlbumFieldsCurrent(const std::vector<AlbumTrackFields>& tracks);

}  // namespace lumio
