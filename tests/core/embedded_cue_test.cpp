#include "core/embedded_cue.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/file_data_list.h"
#include "core/settings_store.h"
#include "core/source_adding.h"
#include "support/sound_bytes.h"
#include "support/temporary_folder.h"
#include "support/wave_bytes.h"

namespace lumio {
namespace {

const PathRules kRules = NativePathRules();
// Four seconds of 16-bit stereo at 44.1 kHz.
constexpr std::uint64_t kFrames = 176400;

std::string Be64(std::uint64_t value) {
  return test::Be32(static_cast<std::uint32_t>(value >> 32)) +
         test::Be32(static_cast<std::uint32_t>(value));
}

std::string Block(unsigned type, const std::string& body, bool last) {
  const auto size = static_cast<std::uint32_t>(body.size());
  return std::string(1, static_cast<char>(type | (last ? 0x80u : 0u))) +
         test::Be32(size).substr(1) + body;
}

struct Index {
  std::uint64_t offset;
  unsigned number;
};

std::string CueTrackBytes(std::uint64_t offset, unsigned number,
                          const std::vector<Index>& indexes) {
  std::string track = Be64(offset) + static_cast<char>(number) + std::string(12, '\0') +
                      std::string(1, '\0') + std::string(13, '\0') +
                      static_cast<char>(indexes.size());
  for (const Index& index : indexes) {
    track += Be64(index.offset) + static_cast<char>(index.number) + std::string(3, '\0');
  }
  return track;
}

// Three tracks: the third with a pregap (INDEX 00) before its INDEX 01.
std::string ThreeTrackCueBlock() {
  return std::string(136, '\0') + '\x80' + std::string(258, '\0') + '\x04' +
         CueTrackBytes(0, 1, {{0, 1}}) + CueTrackBytes(44100, 2, {{0, 1}}) +
         CueTrackBytes(88200, 3, {{0, 0}, {588, 1}}) + CueTrackBytes(kFrames, 170, {});
}

std::string Comments(const std::vector<std::string>& fields) {
  std::string body = test::Le32(2) + "lu" + test::Le32(static_cast<std::uint32_t>(fields.size()));
  for (const std::string& field : fields) {
    body += test::Le32(static_cast<std::uint32_t>(field.size())) + field;
  }
  return body;
}

// A FLAC file whose metadata blocks behind STREAMINFO are `blocks`.
std::string Flac(const std::vector<std::pair<unsigned, std::string>>& blocks) {
  std::string flac = test::FlacStart(44100, 2, 16, kFrames);
  flac[4] = '\0';  // STREAMINFO is not the last block
  for (std::size_t i = 0; i < blocks.size(); ++i) {
    flac += Block(blocks[i].first, blocks[i].second, i + 1 == blocks.size());
  }
  return flac + std::string(64, '\0');
}

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
  const std::string cutTracks = ThreeTrackCueBlock().substr(0, 396 + 36 + 12 + 20);
  const std::string cutIndexes = ThreeTrackCueBlock().substr(0, 396 + 48 + 48 + 36 + 6);
  const std::vector<Row> rows = {
      {"block",
       Flac({{4, Comments({"ALBUM=盤"})}, {5, ThreeTrackCueBlock()}}),
       true,
       {"0-44100 01 01.ogg 01/盤", "44100-88788 02 02.ogg 02/盤", "88788-0 03 03.ogg 03/盤"}},
      {"comment",
       Flac({{4, Comments({"ALBUM=別", kCueComment})}}),
       true,
       {"0-44100 01 一.ogg 一/盤", "44100-88200 02 image.ogg /盤", "88200-0 03 image.ogg /盤"}},
      {"setting off", Flac({{5, ThreeTrackCueBlock()}}), false, {"image.flac whole"}},
      {"track count past the end", Flac({{5, cutTracks}}), true, {"image.flac whole"}},
      {"index count past the end", Flac({{5, cutIndexes}}), true, {"image.flac whole"}},
      {"no cue sheet", Flac({{4, Comments({"TITLE=t"})}}), true, {"image.flac whole"}},
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
  ASSERT_TRUE(test::WriteFile(path, Flac({{5, ThreeTrackCueBlock()}})));
  for (const bool split : {true, false}) {
    SettingsStore settings(dir.Path() + "/lumio.ini");
    settings.WriteBool("Options", "SplitEmbeddedCue", split);
    FileDataList jobs(kRules);
    AddSourcesAtOnce(jobs, {path}, settings, dir.Path() + "/out/", kRules);
    EXPECT_EQ(jobs.Count(), split ? 3u : 1u) << split;
  }
}

}  // namespace
}  // namespace lumio
