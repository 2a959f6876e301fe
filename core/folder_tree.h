#pragma once

#include <string>

#include "core/file_data.h"
#include "platform/path_rules.h"

namespace lumio {

// Where a file found inside a folder that was added whole lies, as the output tree keeps
// it: the added folder's own name followed by the file's folder relative to it, each
// folder followed by a separator ("Artist/Album/CD1/" for /music/Artist/Album/CD1/01.wav
// added as /music/Artist). The root folder has no name of its own, so only the relative
// part remains; a file right inside the root gives "". `filePath` must lie under
// `addedFolder` as the walk spells it.
std::string SubfolderInTree(const std::string& addedFolder, const std::string& filePath,
                            const PathRules& rules);

// The folder the job's output is written to: the output folder, followed by the kept
// subfolder when there is one.
std::string OutputFolderOf(const FileData& record, const PathRules& rules);

}  // namespace lumio
