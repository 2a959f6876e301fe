#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "encode/finish/replaygain_fields.h"

namespace lumio {

// Rewrites the comment header of the Ogg Vorbis file at `path`: every field named in
// `replaced` (in any letter case) goes, then `added` are appended; the other fields keep
// their order. False with the reason in `error`
// when the file cannot be read as Ogg Vorbis or cannot be saved. Meant for a file no one
// else sees yet: it is rewritten in place.
bool ReplaceCommentFields(const std::string& path, const std::vector<std::string>& replaced,
                          const std::vector<CommentField>& added, std::string& error);

// Puts each field of `placed` into the comment header of the Ogg Vorbis file at `path`
// where `order` (field names, in any letter case) puts it among the fields there: before
// the first one whose name comes later in `order` (a name not in it counts as last).
// False with the reason in `error`, as ReplaceCommentFields.
bool PlaceCommentFields(const std::string& path, const std::vector<CommentField>& placed,
                        const std::vector<std::string_view>& order, std::string& error);

}  // namespace lumio
