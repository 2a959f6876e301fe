#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/source_reading.h"

namespace lumio {

class FileDataList;
class SourceFeed;

// Appends one file, read already, to the job list, with its place inside the folder it
// was found in (see SourceWalk::Item); false when the file cannot be added.
using SourceAddFunction = std::function<bool(const std::string& path, const std::string& subfolder,
                                             SourceReading reading)>;

// Appends every batch that `feed` has ready, in walk order, with `add`: a CUE sheet's
// tracks one by one, else the file itself (see AddEntries). Files that cannot be added,
// and folders that could not be read, are named in `failed`. Returns how many entries
// were added. The window and `lumio --batch` both add through this, each taking the
// batches from its event loop when the feed says they are ready.
std::size_t AddReadyBatches(SourceFeed& feed, const SourceAddFunction& add,
                            std::vector<std::string>& failed);

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
