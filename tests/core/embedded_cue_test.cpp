#include "core/embedded_cue.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/file_data_list.h"
#include "core/settings_store.h"
#include "support/add_sources.h"
#include "support/flac_cue_bytes.h"
#include "support/temporary_folder.h"

namespace lumio {
namespace {

const PathRules kRules = NativePathRules();
constexpr const char* kCueComment =
    "CUESHEET=PERFORMER \"歌手\"\nTITLE \"盤\"\nFILE \"other.wav\" WAVE\n"
    "  TRACK 01 AUDIO\n    TITLE \"一\"\n    INDEX 01 00:00:00\n"
    "  TRACK 02 AUDIO\n    INDEX 01 00:01:00\n"
    "  TRACK 03 AUDIO\n    INDEX 00 00:01:50\n    INDEX 01 00:02:00\n";

struct Row {
  const char* name;
  std::string flac;
  bool split;
  // Each entry's "range first-end output name"; one "whole" entry when not split.
  std::vector<std::string> entries;
};

std::string Describe(const std::string& path, const SourceReading& reading) {
  if (!reading.range) return FileNamePart(path, kRules) + " whole";
  return std::to_string(reading.range->first) + "-" + std::to_string(reading.range->end) + " " +
         reading.outputFileName + " " + reading.tags.Title + "/" + reading.tags.Album;
}

TEST(EmbeddedCueTest, AFlacWithACueSheetAddsItsTracksUnlessDamagedOrTurnedOff) {
  // The track count, then an index count, promise more than the block holds.
  const std::string cutTracks = test::ThreeTrackCueBlock().substr(0, 396 + 36 + 12 + 20);
  const std::string cutIndexes = test::ThreeTrackCueBlock().substr(0, 396 + 48 + 48 + 36 + 6);
  const std::vector<Row> rows = {
      {"block",
       test::FlacWithBlocks(
           {{4, test::VorbisCommentBody({"ALBUM=盤"})}, {5, test::ThreeTrackCueBlock()}}),
       true,
       {"0-44100 01 01.ogg 01/盤", "44100-88788 02 02.ogg 02/盤", "88788-0 03 03.ogg 03/盤"}},
      {"comment",
       test::FlacWithBlocks({{4, test::VorbisCommentBody({"ALBUM=別", kCueComment})}}),
       true,
       {"0-44100 01 一.ogg 一/盤", "44100-88200 02 image.ogg /盤", "88200-0 03 image.ogg /盤"}},
      {"setting off",
       test::FlacWithBlocks({{5, test::ThreeTrackCueBlock()}}),
       false,
       {"image.flac whole"}},
      {"track count past the end",
       test::FlacWithBlocks({{5, cutTracks}}),
       true,
       {"image.flac whole"}},
      {"index count past the end",
       test::FlacWithBlocks({{5, cutIndexes}}),
       true,
       {"image.flac whole"}},
      {"no cue sheet",
       test::FlacWithBlocks({{4, test::VorbisCommentBody({"TITLE=t"})}}),
       true,
       {"image.flac whole"}},
  };
  for (const Row& row : rows) {
    const test::TemporaryFolder dir;
    const std::string path = dir.Path() + "/image.flac";
    ASSERT_TRUE(test::WriteFile(path, row.flac));
    SourceReading reading = ReadSource(path, kRules, row.split);
    ASSERT_TRUE(reading.readable) << row.name;
    std::vector<std::string> entries;
    std::vector<std::string> failed;
    AddEntries(
        path, std::move(reading),
        [&](const std::string& added, SourceReading track) {
          entries.push_back(Describe(added, track));
          return true;
        },
        failed);
    EXPECT_EQ(entries, row.entries) << row.name;
  }
}

TEST(EmbeddedCueTest, TheSettingDecidesWhenAddingFromTheList) {
  const test::TemporaryFolder dir;
  const std::string path = dir.Path() + "/image.flac";
  ASSERT_TRUE(test::WriteFile(path, test::FlacWithBlocks({{5, test::ThreeTrackCueBlock()}})));
  for (const bool split : {true, false}) {
    SettingsStore settings(dir.Path() + "/lumio.ini");
    settings.WriteBool("Options", "SplitEmbeddedCue", split);
    FileDataList jobs(kRules);
    test::AddSources(jobs, {path}, settings, dir.Path() + "/out/", false, kRules);
    EXPECT_EQ(jobs.Count(), split ? 3u : 1u) << split;
  }
}

}  // namespace
}  // namespace lumio
