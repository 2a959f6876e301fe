#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lumio {

// One comment field a source carries beyond the six that the list edits: its Vorbis
// comment name (upper case) and its value as UTF-8. A field with several values is
// several of these, in the source's order.
struct CarriedField {
  std::string Name;
  std::string Value;

  bool operator==(const CarriedField&) const = default;
};

// A picture that goes into the output. Its bytes are read only when the output is
// finished: either the source's picture number `SourceIndex` (its FLAC PICTURE blocks or
// ID3v2 APIC frames, counted in file order), or the whole image file `ImagePath`.
struct CarriedPicture {
  std::int32_t Type = 3;  // the FLAC/ID3v2 picture type; 3 is the front cover
  std::string Mime;
  std::string Description;
  std::uint64_t Size = 0;  // bytes, as found when the entry was read
  std::string ImagePath;   // empty: the picture is the source's own
  std::int32_t SourceIndex = -1;

  bool operator==(const CarriedPicture&) const = default;
};

// Everything a source carries apart from the six edited fields, as kept with its entry.
struct CarriedTags {
  std::vector<CarriedField> Fields;
  std::vector<CarriedPicture> Pictures;
  // The values of each edited field (TITLE, ARTIST, …) that the source held several
  // times: the entry shows them joined by "; ", and while it still does, the output
  // gets them as separate fields again.
  std::vector<CarriedField> SeveralValues;
  // Names of what the source holds but no output can carry (fields TagLib cannot name).
  std::vector<std::string> LeftOut;
  // Pictures that no output gets (a folder image that is no image, a damaged picture
  // block), each with its reason: LeftOutPictureText.
  std::vector<std::string> PicturesLeftOut;

  bool operator==(const CarriedTags&) const = default;
};

// Whether a field of this (upper-case) name is one the list edits, so that the entry's
// value goes out instead of the source's.
bool IsEditedFieldName(std::string_view name);

// What the settings say is carried into the outputs.
struct CarryOptions {
  bool fields = true;                  // off: the output gets the six edited fields only
  bool pictures = true;                // only with fields
  std::int32_t pictureLimitKB = 4096;  // larger pictures are left out
  bool splitEmbeddedCue = true;        // a FLAC image with a cue sheet adds its tracks
};

}  // namespace lumio
