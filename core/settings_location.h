#pragma once

#include <string>

namespace lumio {

// The settings file this program uses: the lower-cased "<program>.ini" beside the
// program when that file exists (portable use), otherwise
// $XDG_CONFIG_HOME/lumio/lumio.ini (default ~/.config/lumio/lumio.ini).
std::string SettingsFilePath();

// What the choice of the settings file depends on, so that it can be tested.
struct SettingsEnvironment {
  std::string programPath;    // full path of the program file
  std::string xdgConfigHome;  // $XDG_CONFIG_HOME, empty when unset
  std::string home;           // the user's home folder
};

// SettingsFilePath() for a given environment: "<program>.ini" beside the program (file
// name lower-cased, folder as it is) when that file exists, else
// $XDG_CONFIG_HOME/lumio/lumio.ini, where an empty or relative $XDG_CONFIG_HOME means
// <home>/.config. With no usable home either, the file beside the program.
std::string SettingsFilePathFor(const SettingsEnvironment& environment);

}  // namespace lumio
