#include "core/batch_output_names.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "core/settings_store.h"

namespace lumio {
namespace {

// A list as `lumio --batch --output /o --keep-tree /m` adds it, without reading a file:
// every source carries the artist 歌手 and no other tag.
FileDataList ListOf(const std::vector<std::string>& inputs) {
  SettingsStore settings("/nonexistent-folder/lumio.ini");
  settings.WriteBool("Options", "KeepFolderTree", true);
  FileDataList jobs;
  for (const std::string& input : inputs) {
    SourceReading reading;
    reading.readable = true;
    reading.tags.Artist = "歌手";
    const std::string folder = input.substr(0, input.rfind('/') + 1);
    EXPECT_TRUE(jobs.AddReadSource(input, reading, settings, "/o", folder.substr(3)));
  }
  return jobs;
}

TEST(BatchOutputNames, SettleNamesFromTagsRefusedCharactersAndClashesInListOrder) {
  struct Row {
    const char* what;
    std::optional<std::string> pattern;
    std::vector<std::string> inputs;
    std::vector<std::string> outputs;
    std::vector<std::size_t> noted;
  };
  const std::string longStem(251, 'x');
  const Row rows[] = {
      {"later ones numbered",
       {},
       {"/m/song.mp3", "/m/song.m4a", "/m/song.opus"},
       {"/o/song.ogg", "/o/song (2).ogg", "/o/song (3).ogg"},
       {1, 2}},
      {"a number another job has is passed",
       {},
       {"/m/s.mp3", "/m/s.wav", "/m/s (2).flac"},
       {"/o/s.ogg", "/o/s (3).ogg", "/o/s (2).ogg"},
       {1}},
      {"refused characters replaced, then numbered",
       {},
       {"/m/02 Live: 1999.flac", "/m/a,b.wav", "/m/a;b.wav"},
       {"/o/02 Live_ 1999.ogg", "/o/a_b.ogg", "/o/a_b (2).ogg"},
       {0, 1, 2}},
      {"the number fits the longest name",
       {},
       {"/m/" + longStem + ".wav", "/m/" + longStem + ".flac"},
       {"/o/" + longStem + ".ogg", "/o/" + longStem.substr(4) + " (2).ogg"},
       {1}},
      {"a pattern without folders names files in the kept tree",
       "%a - %f",
       {"/m/x/01.wav", "/m/y/01.wav"},
       {"/o/x/歌手 - 01.ogg", "/o/y/歌手 - 01.ogg"},
       {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    FileDataList jobs = ListOf(row.inputs);
    const NameNotes notes = SettleBatchOutputNames(jobs, row.pattern, true, NativePathRules());
    std::vector<std::string> outputs;
    for (std::size_t i = 0; i < jobs.Count(); ++i) {
      const FileData& record = jobs.Record(i);
      outputs.push_back(record.OutputDir + record.OutputSubfolder + record.OutputFileName);
    }
    EXPECT_EQ(outputs, row.outputs);
    std::vector<std::size_t> noted;
    for (const auto& [job, lines] : notes) {
      noted.push_back(job);
      EXPECT_NE(lines.back().find(" → " + jobs.Record(job).OutputFileName), std::string::npos)
          << lines.back();
    }
    EXPECT_EQ(noted, row.noted);
  }
}

}  // namespace
}  // namespace lumio
