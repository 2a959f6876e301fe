#include "core/batch_output_names.h"

#include <set>

#include "core/tag_pattern.h"
#include "platform/code_page.h"

namespace lumio {

namespace {

constexpr std::string_view kOutputExtension = ".ogg";
constexpr std::size_t kLongestName = 255;

std::string OutputPathOf(const FileData& record, const PathRules& rules) {
  return WithTrailingSeparator(record.OutputDir, rules) + record.OutputSubfolder +
         record.OutputFileName;
}

// `name` with " (number)" before its ".ogg", its stem cut at a character so that the
// whole stays within the longest name.
std::string NumberedName(std::string_view name, std::size_t number, CodePage codePage) {
  std::string_view stem = name;
  std::string_view extension;
  if (stem.ends_with(kOutputExtension)) {
    stem.remove_suffix(kOutputExtension.size());
    extension = kOutputExtension;
  }
  const std::string suffix = " (" + std::to_string(number) + ")" + std::string(extension);
  const std::size_t room = kLongestName > suffix.size() ? kLongestName - suffix.size() : 0;
  std::size_t end = 0;
  while (end < stem.size()) {
    const std::size_t next = end + CharacterLength(stem, end, codePage);
    if (next > room) break;
    end = next;
  }
  return std::string(stem.substr(0, end)) + suffix;
}

void Note(NameNotes& notes, std::size_t job, std::string_view what, const std::string& before,
          const std::string& after) {
  notes[job].push_back(std::string(what) + before + " → " + after);
}

}  // namespace

void NameOutputsByPattern(FileDataList& jobs, std::string_view pattern, const PathRules& rules) {
  for (std::size_t i = 0; i < jobs.Count(); ++i) {
    FileData& record = jobs.Record(i);
    PatternPlace place = OutputPlaceFromTags(
        pattern, record, FileNameWithoutExtension(jobs.InputPath(i), rules), rules.codePage);
    record.OutputFileName = std::move(place.fileName);
    if (!place.subfolder.empty()) record.OutputSubfolder = std::move(place.subfolder);
  }
}

void ReplaceRefusedNameCharacters(FileDataList& jobs, const PathRules& rules, NameNotes& notes) {
  for (std::size_t i = 0; i < jobs.Count(); ++i) {
    std::string& name = jobs.Record(i).OutputFileName;
    if (!HoldsRefusedCharacter(name, rules.codePage)) continue;
    std::string replaced = ReplaceRefusedCharacters(name, rules.codePage);
    Note(notes, i, "ファイル名に使えない文字を _ に置き換えました: ", name, replaced);
    name = std::move(replaced);
  }
}

void NumberClashingOutputs(FileDataList& jobs, const PathRules& rules, NameNotes& notes) {
  // A new name keeps clear of every output of the list, so that it takes no later job's.
  std::set<std::string> listed;
  for (std::size_t i = 0; i < jobs.Count(); ++i) listed.insert(OutputPathOf(jobs.Record(i), rules));
  std::set<std::string> written;
  for (std::size_t i = 0; i < jobs.Count(); ++i) {
    FileData& record = jobs.Record(i);
    const std::string path = OutputPathOf(record, rules);
    if (written.insert(path).second) continue;
    const std::string folder = path.substr(0, path.size() - record.OutputFileName.size());
    std::string numbered;
    for (std::size_t number = 2;; ++number) {
      numbered = NumberedName(record.OutputFileName, number, rules.codePage);
      if (listed.count(folder + numbered) == 0 && written.count(folder + numbered) == 0) break;
    }
    Note(notes, i,
         "ほかのファイルと出力ファイル名が重なるため番号を付けました: ", record.OutputFileName,
         numbered);
    record.OutputFileName = numbered;
    written.insert(folder + numbered);
  }
}

NameNotes SettleBatchOutputNames(FileDataList& jobs, const std::optional<std::string>& pattern,
                                 bool numberClashes, const PathRules& rules) {
  NameNotes notes;
  if (pattern) NameOutputsByPattern(jobs, *pattern, rules);
  ReplaceRefusedNameCharacters(jobs, rules, notes);
  if (numberClashes) NumberClashingOutputs(jobs, rules, notes);
  return notes;
}

}  // namespace lumio
