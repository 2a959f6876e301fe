// Any bytes as CUE sheet text: the parser must return within its bounds, and every
// text it gives must be valid UTF-8.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/cue_sheet.h"
#include "platform/text_encoding.h"

namespace {

void CheckFields(const lumio::CueFields& fields) {
  for (const std::string* text :
       {&fields.title, &fields.performer, &fields.date, &fields.genre, &fields.comment}) {
    if (!lumio::IsValidUtf8(*text)) std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::optional<lumio::CueSheet> sheet = lumio::ParseCueSheet(bytes);
  if (!sheet) {
    if (size <= lumio::kLargestCueSheet) std::abort();
    return 0;
  }
  if (sheet->tracks.size() > lumio::kMostCueTracks || sheet->files.size() > lumio::kMostCueFiles) {
    std::abort();
  }
  CheckFields(sheet->disc);
  for (const lumio::CueFile& file : sheet->files) {
    if (file.name.empty() || !lumio::IsValidUtf8(file.name) || !lumio::IsValidUtf8(file.type)) {
      std::abort();
    }
  }
  for (const lumio::CueTrack& track : sheet->tracks) {
    CheckFields(track.fields);
    if (track.start && track.file >= sheet->files.size()) std::abort();
  }
  (void)lumio::ParseCueTime(bytes);
  return 0;
}
