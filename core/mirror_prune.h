#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/mirror_manifest.h"

namespace lumio {

// The list of outputs in the output root `root` (ending in '/'): empty when there is
// none yet; nullopt when a file of that name is there but is no list Lumio wrote (not a
// regular file, too long, or not in the list's form).
std::optional<std::vector<MirrorEntry>> ReadMirrorManifest(const std::string& root);

// Writes the list into `root` whole or not at all (a hidden file renamed over it).
bool WriteMirrorManifest(const std::string& root, const std::vector<MirrorEntry>& entries);

// The entry for an output Lumio has just written at `outputPath` from `sourcePath`:
// nullopt when the output is not below `root` or is no regular file.
std::optional<MirrorEntry> WrittenEntry(const std::string& root, const std::string& outputPath,
                                        const std::string& sourcePath);

// The list after a run: the old entries less those `removed` and those whose output is
// gone from `root`, with the outputs `written` this run in place of their old entries.
std::vector<MirrorEntry> UpdatedManifest(const std::string& root,
                                         const std::vector<MirrorEntry>& old,
                                         const std::vector<MirrorEntry>& removed,
                                         const std::vector<MirrorEntry>& written);

// The entries whose output may go: its source lies inside one of `sourceFolders` (the
// folders this run was given, absolute), that folder is there, the source is not, and
// the output is still a regular file of the size and time recorded. A source folder that
// is missing (an unmounted disk) judges none of its outputs.
std::vector<MirrorEntry> OrphanedOutputs(const std::vector<MirrorEntry>& entries,
                                         const std::string& root,
                                         const std::vector<std::string>& sourceFolders);

struct PruneOutcome {
  std::vector<MirrorEntry> removed;
  std::vector<std::string> failures;  // "path: reason"
};

// Removes the orphaned outputs, each once more checked to be as recorded, and then the
// folders below `root` that their removal left empty.
PruneOutcome RemoveOrphanedOutputs(const std::vector<MirrorEntry>& orphans,
                                   const std::string& root);

}  // namespace lumio
