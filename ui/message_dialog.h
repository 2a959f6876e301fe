#pragma once

#include <string>

#include "ui/message_kinds.h"

namespace lumio {

class DialogSeam;

// The one modal message box of the program: title and icon from the kind, the
// desktop's bell for a warning or an error, centred over the main window, shown through
// the dialog seam.
DialogAnswer ShowMessageDialog(DialogSeam& dialogs, const std::string& text, MessageKind kind,
                               MessageButtons buttons);

}  // namespace lumio
