#include "core/carried_tags.h"

#include <array>

namespace lumio {

bool IsEditedFieldName(std::string_view name) {
  // A source's DESCRIPTION is read as its comment.
  static constexpr std::array<std::string_view, 7> kEdited{
      "TITLE", "ARTIST", "ALBUM", "DATE", "TRACKNUMBER", "COMMENT", "DESCRIPTION"};
  for (const std::string_view edited : kEdited) {
    if (name == edited) return true;
  }
  return false;
}

}  // namespace lumio
