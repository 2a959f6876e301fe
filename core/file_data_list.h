#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/file_data.h"
#include "platform/path_rules.h"

namespace lumio {

class SettingsStore;

// Indices of the selected entries, ascending.
using Selection = std::vector<std::size_t>;

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

  // Appends one entry for the sound file at `inputPath` (WAVE, FLAC or AIFF by its
  // extension); the output folder comes from the `Options` section of `settings`, read
  // afresh, or from `defDir`. The tags come from the file where it carries them. False,
  // with nothing added, when the file cannot be read.
  bool AddWaveFile(const std::string& inputPath, const SettingsStore& settings,
                   const std::string& defDir);

  void RemoveSelected(const Selection& selection);
  void Clear();
  void ApplyTag(TagField field, const std::string& text, const Selection& selection);
  void SetOutputFileName(std::size_t index, const std::string& name);
  void SetOutputFolder(const std::string& folder, const Selection& selection);

 private:
  PathRules rules_;
  FolderExistsFunction folderExists_;
  std::vector<std::unique_ptr<FileData>> records_;
  std::vector<std::string> inputPaths_;
};

}  // namespace lumio
