#include "core/cue_source.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/file_data_list.h"
#include "core/settings_store.h"
#include "support/add_sources.h"
#include "support/temporary_folder.h"
#include "support/wave_bytes.h"

namespace lumio {
namespace {

const PathRules kRules = NativePathRules();

class CueSourceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Four seconds of 16-bit stereo at 44.1 kHz: 300 CD frames, 176400 sample frames.
    ASSERT_TRUE(test::WriteFile(root_ + "disc.wav", test::SilentWave(176400 * 4)));
    ASSERT_TRUE(test::WriteFile(root_ + "second.wav", test::SilentWave(88200 * 4)));
  }

  SourceReading Read(const std::string& sheet) {
    const std::string path = root_ + "disc.cue";
    EXPECT_TRUE(test::WriteFile(path, sheet));
    return ReadCueSource(path, kRules);
  }

  const test::TemporaryFolder dir_;
  const std::string root_ = dir_.Path() + "/";
};

constexpr const char* kDisc =
    "REM GENRE Pop\nREM DATE 2003\nPERFORMER \"歌手\"\nTITLE \"盤\"\n"
    "FILE \"disc.wav\" WAVE\n"
    "  TRACK 01 AUDIO\n    TITLE \"一\"\n    INDEX 01 00:00:00\n"
    "  TRACK 02 AUDIO\n    TITLE \"a/b:c?\"\n    PERFORMER \"客\"\n    REM DATE 1999\n"
    "    INDEX 00 00:00:60\n    INDEX 01 00:01:00\n"
    "  TRACK 03 AUDIO\n    INDEX 01 00:02:37\n";

TEST_F(CueSourceTest, EachAudioTrackBecomesAnEntryOverItsPartOfTheImage) {
  const SourceReading sheet = Read(kDisc);
  ASSERT_EQ(sheet.failure, "");
  ASSERT_EQ(sheet.tracks.size(), 3u);
  const struct {
    SampleRange range;
    std::int64_t playTimeMs;
    const char* title;
    const char* artist;
    const char* date;
    const char* output;
  } expected[] = {
      // The pregap of track 2 (from 0:00:60) belongs to track 1.
      {{0, 44100, 176400}, 1000, "一", "歌手", "2003", "01 一.ogg"},
      {{44100, 2 * 44100 + 37 * 588, 176400}, 1493, "a/b:c?", "客", "1999", "02 a_b_c_.ogg"},
      // The last runs to the image's end; a track without a title is named by the sheet.
      {{2 * 44100 + 37 * 588, 0, 176400}, 1506, "", "歌手", "2003", "03 disc.ogg"},
  };
  for (std::size_t i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    const TrackSource& track = sheet.tracks[i];
    EXPECT_EQ(track.path, root_ + "disc.wav");
    EXPECT_TRUE(track.reading.readable);
    EXPECT_EQ(track.reading.range, expected[i].range);
    EXPECT_EQ(track.reading.audio.PlayTime, expected[i].playTimeMs);
    const std::uint64_t end = expected[i].range.end ? expected[i].range.end : 176400;
    EXPECT_EQ(track.reading.audio.SampleFrames, end - expected[i].range.first);
    EXPECT_EQ(track.reading.tags.Title, expected[i].title);
    EXPECT_EQ(track.reading.tags.Artist, expected[i].artist);
    EXPECT_EQ(track.reading.tags.Album, "盤");
    EXPECT_EQ(track.reading.tags.Date, expected[i].date);
    EXPECT_EQ(track.reading.tags.TrackNumber, std::string("0") + std::to_string(i + 1));
    EXPECT_EQ(track.reading.tags.Carried.Fields, (std::vector<CarriedField>{{"GENRE", "Pop"}}));
    EXPECT_EQ(track.reading.outputFileName, expected[i].output);
  }
  EXPECT_EQ(sheet.tracks[0].reading.audio.InfoText,
            "データ部 172 KB  16 bit  44100 Hz  ステレオ  再生時間 0:01");
}

TEST_F(CueSourceTest, ATrackWhoseNextStartsInAnotherImageRunsToItsImageEnd) {
  const SourceReading sheet = Read(
      "FILE disc.wav WAVE\nTRACK 01 AUDIO\nINDEX 01 00:00:00\nTRACK 02 AUDIO\n"
      "INDEX 00 00:03:00\nFILE second.wav WAVE\nINDEX 01 00:00:30\n"
      "TRACK 03 AUDIO\nINDEX 01 00:01:00\n");
  ASSERT_EQ(sheet.failure, "");
  ASSERT_EQ(sheet.tracks.size(), 3u);
  EXPECT_EQ(sheet.tracks[0].path, root_ + "disc.wav");
  EXPECT_EQ(sheet.tracks[0].reading.range, (SampleRange{0, 0, 176400}));
  EXPECT_EQ(sheet.tracks[1].path, root_ + "second.wav");
  // The first track of an image takes what lies before its INDEX 01 too.
  EXPECT_EQ(sheet.tracks[1].reading.range, (SampleRange{0, 44100, 88200}));
  EXPECT_EQ(sheet.tracks[2].reading.range, (SampleRange{44100, 0, 88200}));
}

// A sheet of `count` audio tracks in disc.wav.
std::string SheetOfTracks(int count) {
  std::string sheet = "FILE disc.wav WAVE\n";
  for (int i = 1; i <= count; ++i) sheet += "TRACK " + std::to_string(i) + " AUDIO\n";
  return sheet;
}

TEST_F(CueSourceTest, ASheetThatCannotBeSplitSaysWhy) {
  const struct {
    std::string sheet;
    const char* failure;
  } cases[] = {
      {"FILE gone.wav WAVE\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n",
       "CUE シートの音声ファイルがありません: gone.wav"},
      {"TITLE x\nFILE disc.wav WAVE\n", "CUE シートに TRACK がありません"},
      {"FILE disc.wav BINARY\nTRACK 01 MODE1/2352\nINDEX 01 00:00:00\n",
       "CUE シートに TRACK がありません"},
      {"FILE disc.wav WAVE\nTRACK 01 AUDIO\nINDEX 00 00:00:00\n",
       "TRACK 01 に INDEX 01 がありません"},
      {"FILE disc.wav WAVE\nTRACK 01 AUDIO\nINDEX 01 00:02:00\nTRACK 02 AUDIO\n"
       "INDEX 01 00:01:00\n",
       "TRACK 01 の位置がファイルの中にありません"},
      {"FILE disc.wav WAVE\nTRACK 01 AUDIO\nINDEX 01 00:00:00\nTRACK 02 AUDIO\n"
       "INDEX 01 00:04:00\n",
       "TRACK 02 の位置がファイルの中にありません"},
      {"FILE disc.cue WAVE\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n",
       "CUE シートの音声ファイルは読めない形式です: disc.cue"},
      // Tracks past the last one read would have become part of it.
      {SheetOfTracks(1000), "CUE シートの TRACK か FILE が多すぎます (999 個まで)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.sheet);
    const SourceReading sheet = Read(c.sheet);
    EXPECT_FALSE(sheet.readable);
    EXPECT_TRUE(sheet.tracks.empty());
    EXPECT_EQ(sheet.failure, c.failure);
  }
}

TEST_F(CueSourceTest, AFolderAddsTheTracksInsteadOfTheImageAndNamesSheetsThatFail) {
  ASSERT_TRUE(test::WriteFile(root_ + "disc.cue", kDisc));
  ASSERT_TRUE(test::WriteFile(root_ + "empty.cue", "FILE second.wav WAVE\n"));
  ASSERT_TRUE(test::WriteFile(root_ + "lost.cue",
                              "FILE lost.flac FLAC\nTRACK 01 AUDIO\n"
                              "INDEX 01 00:00:00\n"));
  const SettingsStore settings("/nonexistent/lumio-settings.ini");
  FileDataList jobs(kRules);
  const std::vector<std::string> failed =
      test::AddSources(jobs, {dir_.Path()}, settings, root_ + "out/", false, kRules);
  // disc.wav only as its three tracks; second.wav, which no sheet splits, whole.
  std::vector<std::string> entries;
  for (std::size_t i = 0; i < jobs.Count(); ++i) {
    entries.push_back(FileNamePart(jobs.InputPath(i), kRules) + " " +
                      jobs.Record(i).OutputFileName + (jobs.Record(i).Range ? " ranged" : ""));
  }
  EXPECT_EQ(entries,
            (std::vector<std::string>{"disc.wav 01 一.ogg ranged", "disc.wav 02 a_b_c_.ogg ranged",
                                      "disc.wav 03 disc.ogg ranged", "second.wav second.ogg"}));
  EXPECT_EQ(failed, (std::vector<std::string>{
                        root_ + "empty.cue（CUE シートに TRACK がありません）",
                        root_ + "lost.cue（CUE シートの音声ファイルがありません: lost.flac）"}));
  EXPECT_EQ(jobs.Record(1).Artist, "客");
  EXPECT_EQ(jobs.Record(1).Audio.PlayTime, 1493);
}

}  // namespace
}  // namespace lumio
