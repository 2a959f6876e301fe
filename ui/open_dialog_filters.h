#pragma once

#include <QString>

namespace lumio {

// The filters of the add-files dialog: every kind of sound file Lumio takes first, then
// those the encoder reads itself, then each of those alone.
QString OpenDialogFilters();

}  // namespace lumio
