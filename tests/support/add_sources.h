#pragma once

#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "core/file_data_list.h"
#include "core/settings_schema.h"
#include "core/source_adding.h"
#include "core/source_feed.h"

namespace lumio::test {

// Adds `paths` to `jobs` the way the program does: walked and read on the threads of a
// SourceFeed, with the embedded-cue choice of `settings`, and each batch appended in walk
// order (AddReadyBatches) once the feed tells that it is ready. Returns the files that
// could not be added and the folders that could not be read.
inline std::vector<std::string> AddSources(FileDataList& jobs,
                                           const std::vector<std::string>& paths,
                                           const SettingsStore& settings, const std::string& defDir,
                                           bool takeAnyFile = true,
                                           PathRules rules = NativePathRules()) {
  std::mutex lock;
  std::condition_variable told;
  bool ready = false;
  std::vector<std::string> failed;
  const SourceAddFunction add = [&](const std::string& path, const std::string& subfolder,
                                    SourceReading reading) {
    return jobs.AddReadSource(path, std::move(reading), settings, defDir, subfolder);
  };
  SourceFeed feed(rules, {}, [&] {
    const std::lock_guard guard(lock);
    ready = true;
    told.notify_one();
  });
  feed.Append({paths, takeAnyFile, ReadCarryOptions(settings).splitEmbeddedCue});
  for (;;) {
    AddReadyBatches(feed, add, failed);
    if (feed.Done()) return failed;
    std::unique_lock guard(lock);
    told.wait(guard, [&] { return ready; });
    ready = false;
  }
}

// Adds one file as AddSources does; true when it gave at least one entry and nothing failed.
inline bool AddSource(FileDataList& jobs, const std::string& path, const SettingsStore& settings,
                      const std::string& defDir) {
  const std::size_t before = jobs.Count();
  return AddSources(jobs, {path}, settings, defDir).empty() && jobs.Count() > before;
}

}  // namespace lumio::test
