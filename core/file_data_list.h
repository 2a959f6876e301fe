#pragma once

// Errors in core/: the sound-file readers throw SourceReadError for a read that fails
// (ByteSource raises it) and answer false for a file that is not of their kind;
// ReadSource catches it and marks the file unreadable, and AddReadSource answers false,
// with nothing added. Tags a file hides are no failure: ReadSourceTags gives empty tags.
// A folder the source walk cannot list comes as an item marked unreadableFolder.
// Parsers answer std::optional. The settings store gives the caller's default for
// anything it cannot read, and reports a failed load or save as a value (LoadFailed(),
// SaveResult) carrying the message text to show the user. Only running out of memory
// escapes the layer.

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/file_data.h"
#include "core/source_reading.h"
#include "platform/path_rules.h"

namespace lumio {

class SettingsStore;

// Indices of the selected entries, ascending.
using Selection = std::vector<std::size_t>;

// The file-name part of `path` without its extension (from the last '.').
std::string FileNameWithoutExtension(const std::string& path, const PathRules& rules);

// The job list: records owned by the list, each paired with its input path at the
// same index.
class FileDataList {
 public:
  explicit FileDataList(PathRules rules = NativePathRules());

  // Whether a folder exists; the file system's answer unless a test supplies its own
  // (for folders in another path style).
  using FolderExistsFunction = std::function<bool(const std::string&)>;
  FileDataList(PathRules rules, FolderExistsFunction folderExists);

  std::size_t Count() const { return records_.size(); }
  FileData& Record(std::size_t index) { return *records_[index]; }
  const FileData& Record(std::size_t index) const { return *records_[index]; }
  const std::string& InputPath(std::size_t index) const { return inputPaths_[index]; }

  // Appends one entry for the sound file at `inputPath`, with what ReadSource read of
  // it; the output folder comes from the `Options` section of `settings`, read afresh,
  // or from `defDir`. A file found inside a folder that was added whole gives its place
  // in that folder as `subfolder` (see SubfolderInTree); with the folder tree kept, its
  // output goes there below the output folder. The tags come from the file where it
  // carries them. False, with nothing added, when the file could not be read.
  bool AddReadSource(const std::string& inputPath, SourceReading reading,
                     const SettingsStore& settings, const std::string& defDir,
                     const std::string& subfolder = {});

  void RemoveSelected(const Selection& selection);
  void Clear();
  void ApplyTag(TagField field, const std::string& text, const Selection& selection);
  void SetOutputFileName(std::size_t index, const std::string& name);
  void SetOutputFolder(const std::string& folder, const Selection& selection);

  // Moves the selected entries, in their order, to stand together before entry
  // `destination` (an index of the list as it is now; Count() for the end). Returns the
  // moved entries' new indices.
  Selection MoveSelected(const Selection& selection, std::size_t destination);
  // Moves each selected entry one place up (step < 0) or down (step > 0) past its
  // unselected neighbour; an entry already at that end, or behind a selected entry that
  // cannot move, stays. Returns the selected entries' new indices.
  Selection StepSelected(const Selection& selection, int step);

 private:
  // Puts the entries in the order of `order`, which lists every present index once.
  void Reorder(const std::vector<std::size_t>& order);

  PathRules rules_;
  FolderExistsFunction folderExists_;
  std::vector<std::unique_ptr<FileData>> records_;
  std::vector<std::string> inputPaths_;
};

}  // namespace lumio
