#include "core/source_adding.h"

#include "core/file_data_list.h"
#include "core/name_list.h"
#include "core/settings_schema.h"
#include "core/source_reading.h"
#include "core/source_walk.h"

namespace lumio {

namespace {

// Files read at once: enough to keep every reader busy, few enough that the readings
// held in memory stay small.
constexpr std::size_t kFilesPerRead = 256;

}  // namespace

std::vector<std::string> AddSourcesAtOnce(FileDataList& jobs, const std::vector<std::string>& paths,
                                          const SettingsStore& settings, const std::string& defDir,
                                          const PathRules& rules) {
  SourceWalk walk(rules);
  walk.Append(paths, false);
  const unsigned readers = SourceReaderCount();
  const bool split = ReadCarryOptions(settings).splitEmbeddedCue;
  std::vector<std::string> failed;
  while (!walk.Done()) {
    std::vector<SourceWalk::Item> items;
    std::vector<std::string> readable;
    while (items.size() < kFilesPerRead) {
      std::optional<SourceWalk::Item> item = walk.Next();
      if (!item) break;
      if (!item->unreadableFolder) readable.push_back(item->path);
      items.push_back(std::move(*item));
    }
    std::vector<SourceReading> readings = ReadSources(
        readable, [&](const std::string& path) { return ReadSource(path, rules, split); }, readers);
    std::size_t next = 0;
    for (const SourceWalk::Item& item : items) {
      if (item.unreadableFolder) {
        failed.push_back(item.path);
        continue;
      }
      AddEntries(
          item.path, std::move(readings[next++]),
          [&](const std::string& path, SourceReading reading) {
            return jobs.AddReadSource(path, std::move(reading), settings, defDir, item.subfolder);
          },
          failed);
    }
  }
  return failed;
}

std::string AddFailureSummary(const std::vector<std::string>& failed) {
  return "次のファイルを追加できませんでした（" + std::to_string(failed.size()) + " 件）" +
         FirstNamesThenCount(failed);
}

std::string CutShortSummary(const std::vector<std::string>& paths) {
  return "次のファイルは途中で切れています (データ部がヘッダーの示す長さより短い)（" +
         std::to_string(paths.size()) + " 件）" + FirstNamesThenCount(paths);
}

std::vector<std::string> CutShortInputs(const FileDataList& jobs, std::size_t first,
                                        std::size_t end) {
  std::vector<std::string> paths;
  for (std::size_t index = first; index < end && index < jobs.Count(); ++index) {
    if (jobs.Record(index).Audio.CutShort) paths.push_back(jobs.InputPath(index));
  }
  return paths;
}

}  // namespace lumio
