#pragma once

#include <string>

#include "core/audio_kind.h"
#include "core/byte_source.h"
#include "core/carried_tags.h"

namespace lumio {

// The tags a sound file already carries, as UTF-8 text; a field the file lacks is
// empty. The comment keeps its lines separated by CR LF, as the job records hold them.
struct SourceTags {
  std::string Title;
  std::string Artist;
  std::string Album;
  std::string Date;
  std::string TrackNumber;
  std::string Comment;
  CarriedTags Carried;
};

// Reads the tags of the file at `path`, whose bytes `source` holds, as a file of `kind`:
// FLAC Vorbis comments; the WAVE id3 chunk, then its LIST/INFO chunk for fields the id3
// chunk lacks; the AIFF ID3 chunk, then its NAME, AUTH and ANNO chunks. Text of the INFO
// and AIFF text chunks, which declare no encoding, is taken as UTF-8 when it is valid
// UTF-8 and as CP932 otherwise. A file whose tags cannot be read gives empty tags: tags
// never keep a file out of the list. FLAC comments that are not valid UTF-8 are decoded
// the same way, field by field. Every other field and every picture goes into
// `Carried`, in the file's order; a file without pictures takes its folder's cover
// image (FindCoverImage).
SourceTags ReadSourceTags(ByteSource& source, const std::string& path, AudioKind kind);

}  // namespace lumio
