#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/carried_tags.h"

namespace lumio {

// One row of the carried fields shown for one or more entries: the `occurrence`-th
// field called `name` (from 0). Its value is what every entry holds there, or nullopt
// when the entries differ (or some lack it).
struct SharedField {
  std::string name;
  std::size_t occurrence = 0;
  std::optional<std::string> value;
};

// The rows for `entries`, in the order in which their names and occurrences first come.
std::vector<SharedField> SharedFields(const std::vector<const CarriedTags*>& entries);

// The pictures shown for one or more entries: those every entry holds (the same type,
// MIME type, description and size), as the first entry holds them, and whether some
// entry holds others besides.
struct SharedPictures {
  std::vector<CarriedPicture> pictures;
  bool othersDiffer = false;
};
SharedPictures PicturesInCommon(const std::vector<const CarriedTags*>& entries);

// A change made to one row, or a field added.
struct FieldEdit {
  enum class Kind { Change, Remove, Add };
  Kind kind = Kind::Change;
  std::string name;
  std::size_t occurrence = 0;  // of `name`, for Change and Remove
  std::string value;
};

// Applies `edits` to one entry's fields. A changed row keeps its place; a row the entry
// lacks is added at the end, as is every added field. Rows not edited stay as they are.
void ApplyFieldEdits(CarriedTags& carried, const std::vector<FieldEdit>& edits);

}  // namespace lumio
