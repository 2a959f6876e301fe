#pragma once

#include "core/carried_tags.h"

namespace lumio {

// What the finishing step does to each output of a batch, as the settings said when the
// batch was checked.
struct FinishingOptions {
  CarryOptions carry;
};

}  // namespace lumio
