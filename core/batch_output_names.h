#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/file_data_list.h"
#include "platform/path_rules.h"

// Output names that a batch without a window settles by itself, where the window would
// leave them to the user: names made from tags, names of sources that hold characters the
// batch refuses, and outputs that two jobs would share.
namespace lumio {

// What was changed in a job's output name, by the job's index: lines for its report.
using NameNotes = std::map<std::size_t, std::vector<std::string>>;

// Names every job's output by `pattern` (OutputPlaceFromTags); a pattern with '/' puts
// it in the folders it makes below the output folder, one without keeps the job's folder.
void NameOutputsByPattern(FileDataList& jobs, std::string_view pattern, const PathRules& rules);

// Replaces, in each output name that holds a character the batch refuses, those
// characters by '_' as names made from tags have them, and notes the change.
void ReplaceRefusedNameCharacters(FileDataList& jobs, const PathRules& rules, NameNotes& notes);

// Gives each job whose output an earlier job of the list writes too the first of
// " (2)", " (3)"… before ".ogg" that no other job's output has, and notes the change.
void NumberClashingOutputs(FileDataList& jobs, const PathRules& rules, NameNotes& notes);

// The three above as a batch without a window applies them: the pattern when there is
// one, then refused characters, then clashes when `numberClashes`.
NameNotes SettleBatchOutputNames(FileDataList& jobs, const std::optional<std::string>& pattern,
                                 bool numberClashes, const PathRules& rules);

}  // namespace lumio
