#include "core/file_data_list.h"

#include <algorithm>
#include <utility>

#include "core/settings_schema.h"
#include "platform/file_system.h"

namespace lumio {

namespace {

// The record field that holds each tag.
std::string FileData::*TagMember(TagField field) {
  switch (field) {
    case TagField::Title:
      return &FileData::Title;
    case TagField::Artist:
      return &FileData::Artist;
    case TagField::Album:
      return &FileData::Album;
    case TagField::Comment:
      return &FileData::Comment;
    case TagField::Date:
      return &FileData::Date;
    case TagField::TrackNumber:
      break;
  }
  return &FileData::TrackNumber;
}

// Sorted, without repeats, and only indices below `count`.
Selection ValidSelection(const Selection& selection, std::size_t count) {
  Selection indices = selection;
  std::sort(indices.begin(), indices.end());
  indices.erase(std::unique(indices.begin(), indices.end()), indices.end());
  indices.erase(std::lower_bound(indices.begin(), indices.end(), count), indices.end());
  return indices;
}

}  // namespace

std::string FileNameWithoutExtension(const std::string& path, const PathRules& rules) {
  std::string name = FileNamePart(path, rules);
  const std::size_t dot = FindLastCharacter(name, ".", rules.codePage);
  if (dot != std::string::npos) name.erase(dot);
  return name;
}

FileDataList::FileDataList(PathRules rules) : FileDataList(rules, FolderExists) {}

FileDataList::FileDataList(PathRules rules, FolderExistsFunction folderExists)
    : rules_(rules), folderExists_(std::move(folderExists)) {}

bool FileDataList::AddReadSource(const std::string& inputPath, SourceReading reading,
                                 const SettingsStore& settings, const std::string& defDir,
                                 const std::string& subfolder) {
  if (!reading.readable) return false;
  auto record = std::make_unique<FileData>();
  // Read on every call, so that a setting saved meanwhile governs the files added next.
  OutputFolderRule rule = ReadOutputFolderRule(settings);
  bool besideInput = true;
  if (rule.sameOutput) {
    record->OutputDir = FolderPart(inputPath, rules_);
  } else if (rule.useStdOutput) {
    std::string stdOutputDir = std::move(rule.stdOutputDir);
    // A folder typed as a relative path is found from the folder Lumio started in; the
    // job keeps it whole, since the encoder runs in the output folder.
    if (rules_.style == PathStyle::Posix && !stdOutputDir.empty() && stdOutputDir.front() != '/' &&
        folderExists_(stdOutputDir)) {
      stdOutputDir = WithTrailingSeparator(CurrentFolder(), rules_) + stdOutputDir;
    }
    besideInput = !folderExists_(stdOutputDir);
    record->OutputDir = besideInput ? FolderPart(inputPath, rules_) : std::move(stdOutputDir);
  } else {
    record->OutputDir = WithTrailingSeparator(defDir, rules_);
    besideInput = false;
  }
  // Beside the input the source tree is the output tree already.
  if (!besideInput && rule.keepFolderTree) {
    record->OutputSubfolder = subfolder;
  }
  record->OutputFileName = reading.outputFileName.empty()
                               ? FileNameWithoutExtension(inputPath, rules_) + ".ogg"
                               : std::move(reading.outputFileName);
  record->Range = reading.range;

  record->Audio = reading.audio;
  SourceTags& tags = reading.tags;
  record->Title = std::move(tags.Title);
  record->Artist = std::move(tags.Artist);
  record->Album = std::move(tags.Album);
  record->Date = std::move(tags.Date);
  record->TrackNumber = std::move(tags.TrackNumber);
  record->Comment = std::move(tags.Comment);
  record->Carried = std::move(tags.Carried);

  // Both lists change together: if the path cannot be stored, the record goes again.
  records_.push_back(std::move(record));
  try {
    inputPaths_.push_back(inputPath);
  } catch (...) {
    records_.pop_back();
    throw;
  }
  return true;
}

void FileDataList::RemoveSelected(const Selection& selection) {
  // A repeated index must not remove a second, unselected entry.
  const Selection indices = ValidSelection(selection, records_.size());
  // From the last index down, so the indices still to visit stay valid.
  for (auto it = indices.rbegin(); it != indices.rend(); ++it) {
    const std::size_t index = *it;
    records_.erase(records_.begin() + static_cast<std::ptrdiff_t>(index));
    inputPaths_.erase(inputPaths_.begin() + static_cast<std::ptrdiff_t>(index));
  }
}

void FileDataList::Clear() {
  records_.clear();
  inputPaths_.clear();
}

void FileDataList::ApplyTag(TagField field, const std::string& text, const Selection& selection) {
  std::string FileData::*const tag = TagMember(field);
  for (const std::size_t index : selection) {
    if (index < records_.size()) (*records_[index]).*tag = text;
  }
}

void FileDataList::SetOutputFileName(std::size_t index, const std::string& name) {
  if (index < records_.size()) records_[index]->OutputFileName = name;
}

void FileDataList::SetOutputFolder(const std::string& folder, const Selection& selection) {
  const std::string withSeparator = WithTrailingSeparator(folder, rules_);
  for (const std::size_t index : selection) {
    if (index < records_.size()) records_[index]->OutputDir = withSeparator;
  }
}

Selection FileDataList::MoveSelected(const Selection& selection, std::size_t destination) {
  const Selection moved = ValidSelection(selection, records_.size());
  std::vector<bool> selected(records_.size(), false);
  for (const std::size_t index : moved) selected[index] = true;
  destination = std::min(destination, records_.size());

  std::vector<std::size_t> order;
  order.reserve(records_.size());
  for (std::size_t index = 0; index < destination; ++index) {
    if (!selected[index]) order.push_back(index);
  }
  const std::size_t firstMoved = order.size();
  order.insert(order.end(), moved.begin(), moved.end());
  for (std::size_t index = destination; index < records_.size(); ++index) {
    if (!selected[index]) order.push_back(index);
  }
  Reorder(order);

  Selection placed(moved.size());
  for (std::size_t i = 0; i < placed.size(); ++i) placed[i] = firstMoved + i;
  return placed;
}

Selection FileDataList::StepSelected(const Selection& selection, int step) {
  const std::size_t count = records_.size();
  std::vector<bool> selected(count, false);
  for (const std::size_t index : ValidSelection(selection, count)) selected[index] = true;
  std::vector<std::size_t> order(count);
  for (std::size_t index = 0; index < count; ++index) order[index] = index;

  // Each selected entry swaps with an unselected neighbour on the side it moves to;
  // walking from that side lets a run of selected entries move as one.
  auto swapWithNext = [&](std::size_t index) {
    std::swap(order[index], order[index + 1]);
    std::vector<bool>::swap(selected[index], selected[index + 1]);
  };
  if (step < 0) {
    for (std::size_t index = 1; index < count; ++index) {
      if (selected[index] && !selected[index - 1]) swapWithNext(index - 1);
    }
  } else if (step > 0) {
    for (std::size_t index = count; index-- > 1;) {
      if (selected[index - 1] && !selected[index]) swapWithNext(index - 1);
    }
  }
  Reorder(order);

  Selection placed;
  for (std::size_t index = 0; index < count; ++index) {
    if (selected[index]) placed.push_back(index);
  }
  return placed;
}

void FileDataList::Reorder(const std::vector<std::size_t>& order) {
  // Built aside and swapped in, so that both lists change together or not at all.
  std::vector<std::unique_ptr<FileData>> records;
  std::vector<std::string> inputPaths;
  records.reserve(order.size());
  inputPaths.reserve(order.size());
  for (const std::size_t index : order) inputPaths.push_back(inputPaths_[index]);
  for (const std::size_t index : order) records.push_back(std::move(records_[index]));
  records_.swap(records);
  inputPaths_.swap(inputPaths);
}

}  // namespace lumio
