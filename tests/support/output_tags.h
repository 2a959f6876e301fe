#pragma once

#include <gtest/gtest.h>
#include <taglib/flacpicture.h>

#include <string>
#include <vector>

#include "core/carried_tags.h"
#include "support/ogg_comments.h"

namespace lumio::test {

// A picture as an output carries it.
struct Picture {
  int type;
  std::string mime;
  std::string description;
  std::string bytes;
  bool operator==(const Picture&) const = default;
};

inline void PrintTo(const Picture& picture, std::ostream* out) {
  *out << "{" << picture.type << ", " << picture.mime << ", \"" << picture.description << "\", "
       << picture.bytes.size() << " bytes}";
}

struct OutputTags {
  std::vector<CarriedField> fields;  // in the file's order, names upper-cased, pictures apart
  std::vector<Picture> pictures;
};

// The comments of the Ogg Vorbis file at `path`, pictures decoded apart.
inline OutputTags ReadOutput(const std::string& path) {
  OutputTags tags;
  for (const OggComment& comment : ReadOggComments(path)) {
    CarriedField field{UpperCase(comment.name), comment.value};
    if (field.Name != "METADATA_BLOCK_PICTURE") {
      tags.fields.push_back(std::move(field));
      continue;
    }
    const TagLib::FLAC::Picture picture(TagLib::ByteVector::fromBase64(
        TagLib::ByteVector(field.Value.data(), static_cast<unsigned>(field.Value.size()))));
    tags.pictures.push_back({picture.type(), picture.mimeType().to8Bit(true),
                             picture.description().to8Bit(true),
                             std::string(picture.data().data(), picture.data().size())});
  }
  return tags;
}

}  // namespace lumio::test
