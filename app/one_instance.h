#pragma once

#include <memory>
#include <string>
#include <vector>

#include "ui/single_instance.h"

namespace lumio {

// Makes this start the one Lumio of the settings file at `settingsPath`, or hands
// `paths` to the Lumio that is. Returns the server when this start owns the settings
// file; otherwise sets `exitStatus`: 0 once the running Lumio has taken the paths, 1
// (with the reason written to standard error, in Japanese under a Japanese locale) when
// it could not be given them.
std::unique_ptr<InstanceServer> OwnSettingsOrHandOver(const std::string& settingsPath,
                                                      const std::vector<std::string>& paths,
                                                      int& exitStatus);

}  // namespace lumio
