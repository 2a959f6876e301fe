#pragma once

#include <string>
#include <vector>

#include "platform/path_rules.h"

namespace lumio {

class FileDataList;
class SettingsStore;

// Adds files and whole folders to the job list in one go, where nothing waits on the
// caller: the same walk (folders recursively, natural order), the same readers on one
// thread per core and the same appending as the window's adder. Returns the files that
// could not be added and the folders that could not be read, in the order met.
std::vector<std::string> AddSourcesAtOnce(FileDataList& jobs, const std::vector<std::string>& paths,
                                          const SettingsStore& settings, const std::string& defDir,
                                          const PathRules& rules);

// The message for files that could not be added, without a leading line feed: the
// count, the first 20 paths, then how many more there are.
std::string AddFailureSummary(const std::vector<std::string>& failed);

// The note for added WAVE files whose data chunk declares more than the file holds
// (copies or rips that stopped early), in the same form: their outputs will be short.
std::string CutShortSummary(const std::vector<std::string>& paths);

// The input paths of the entries `first` to `end` (not included) of `jobs` that were
// found cut short.
std::vector<std::string> CutShortInputs(const FileDataList& jobs, std::size_t first,
                                        std::size_t end);

}  // namespace lumio
