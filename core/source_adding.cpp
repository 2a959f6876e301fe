#include "core/source_adding.h"

#include "core/file_data_list.h"
#include "core/name_list.h"
#include "core/source_feed.h"

namespace lumio {

std::size_t AddReadyBatches(SourceFeed& feed, const SourceAddFunction& add,
                            std::vector<std::string>& failed) {
  std::size_t added = 0;
  while (std::optional<std::vector<FedSource>> batch = feed.Take()) {
    for (FedSource& fed : *batch) {
      if (fed.item.unreadableFolder) {
        failed.push_back(fed.item.path);
        continue;
      }
      added += AddEntries(
          fed.item.path, std::move(fed.reading),
          [&](const std::string& path, SourceReading reading) {
            return add(path, fed.item.subfolder, std::move(reading));
          },
          failed);
    }
  }
  return added;
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
