#pragma once

#include <string>
#include <string_view>

#include "platform/path_rules.h"

namespace lumio {

// The settings file beside a program file: its extension replaced by ".ini" and the
// whole path lower-cased (single-byte letters only). D:\Tools\Lumio.exe gives
// d:\tools\lumio.ini in Windows style.
std::string SettingsPathBesideProgram(std::string_view programPath, const PathRules& rules);

// The settings file this program uses: the lower-cased "<program>.ini" beside the
// program when that file exists (portable use), otherwise
// $XDG_CONFIG_HOME/lumio/lumio.ini (default ~/.config/lumio/lumio.ini).
std::string SettingsFilePath();

}  // namespace lumio
