#pragma once

#include <ostream>

#include "core/carried_tags.h"

namespace lumio {

// How GoogleTest shows a carried field in a failure: its name and the start of its value.
inline void PrintTo(const CarriedField& field, std::ostream* out) {
  *out << field.Name << "=" << field.Value.substr(0, 60);
}

}  // namespace lumio
