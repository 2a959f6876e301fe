#include <gtest/gtest.h>

#include <QProcess>
#include <QSignalSpy>
#include <algorithm>
#include <variant>

#include "core/cue_source.h"
#include "core/file_data_list.h"
#include "core/settings_store.h"
#include "encode/child/command_line.h"
#include "encode/child/decoder_command.h"
#include "encode/finish/vorbis_decoder.h"
#include "encode/run/batch_plan.h"
#include "encode/run/batch_run.h"
#include "encode/run/clock.h"
#include "platform/file_system.h"
#include "support/add_sources.h"
#include "support/current_folder_guard.h"
#include "support/run_tool.h"
#include "support/temporary_folder.h"

namespace lumio {
namespace {

// A CP932 sheet over a six-second image: track 2 has a pregap (INDEX 00 at 2 s), which
// belongs to track 1; track 3 starts at a frame that is no whole millisecond.
std::string Cp932Sheet(const std::string& image, const char* type) {
  return std::string("REM GENRE \x83\x57\x83\x83\x83\x59\r\n") +       // ジャズ
         "PERFORMER \"\x89\xCC\x8E\xE8\"\r\nTITLE \"\x94\xD5\"\r\n" +  // 歌手, 盤
         "FILE \"" + image + "\" " + type + "\r\n" +
         "  TRACK 01 AUDIO\r\n    TITLE \"\x88\xEA\"\r\n    INDEX 01 00:00:00\r\n" +  // 一
         "  TRACK 02 AUDIO\r\n    TITLE \"\x93\xF1\"\r\n    INDEX 00 00:02:00\r\n" +  // 二
         "    INDEX 01 00:02:30\r\n" +
         "  TRACK 03 AUDIO\r\n    TITLE \"\x8E\x4F\"\r\n    INDEX 01 00:04:11\r\n";  // 三
}

// The PCM bytes of what the decoder writes for `inputPath` (its WAVE header dropped).
std::string DecodedPcm(const std::vector<std::string>& arguments) {
  QProcess decoder;
  QStringList rest;
  for (std::size_t i = 1; i < arguments.size(); ++i) rest << QString::fromStdString(arguments[i]);
  decoder.start(QString::fromStdString(arguments[0]), rest);
  EXPECT_TRUE(decoder.waitForFinished(60000));
  const QByteArray wave = decoder.readAllStandardOutput();
  const qsizetype data = wave.indexOf("data");
  EXPECT_GE(data, 0);
  return data < 0 ? std::string() : wave.mid(data + 8).toStdString();
}

class CueBatchTest : public ::testing::TestWithParam<const char*> {
 public:
  void SetUp() override {
    ffmpeg_ = FindOnSearchPath("ffmpeg");
    oggenc_ = FindOnSearchPath("oggenc");
    if (ffmpeg_.empty() || oggenc_.empty()) GTEST_SKIP() << "ffmpeg or oggenc is not installed";
    ASSERT_TRUE(CreateFolder(root_ + "out"));
    settings_.WriteBool("Options", "SetEncoderPlace", true);
    settings_.WriteString("Options", "EncoderPlace", oggenc_);
    // Six seconds of a stereo tone at 44.1 kHz (WAVE) or 48 kHz (FLAC).
    const bool flac = std::string(GetParam()) == "flac";
    image_ = root_ + "盤." + GetParam();
    ASSERT_TRUE(test::RunTool(
        {"ffmpeg", "-nostdin", "-loglevel", "error", "-y", "-f", "lavfi", "-i",
         std::string("sine=frequency=440:duration=6:sample_rate=") + (flac ? "48000" : "44100"),
         "-ac", "2", image_}));
    ASSERT_TRUE(test::WriteFile(root_ + "盤.cue", Cp932Sheet("\x94\xD5." + std::string(GetParam()),
                                                             flac ? "FLAC" : "WAVE")));
    rate_ = flac ? 48000 : 44100;
  }

  test::CurrentFolderGuard folderGuard_;
  const test::TemporaryFolder dir_;
  const std::string root_ = dir_.Path() + "/";
  SettingsStore settings_{"/nonexistent/lumio-settings.ini"};
  std::string ffmpeg_;
  std::string oggenc_;
  std::string image_;
  std::uint64_t rate_ = 0;
};

TEST_P(CueBatchTest, TracksDecodedEndToEndAreTheWholeImageSampleForSample) {
  const SourceReading sheet = ReadCueSource(root_ + "盤.cue", NativePathRules());
  ASSERT_EQ(sheet.tracks.size(), 3u) << sheet.failure;
  std::string tracks;
  for (const TrackSource& track : sheet.tracks) {
    EXPECT_EQ(track.path, image_);
    tracks += DecodedPcm(DecoderArguments(ffmpeg_, track.path, 16, track.reading.range));
  }
  const std::string whole = DecodedPcm(DecoderArguments(ffmpeg_, image_, 16));
  EXPECT_EQ(whole.size(), 6 * rate_ * 4);
  EXPECT_EQ(tracks.size(), whole.size());
  EXPECT_TRUE(tracks == whole) << "the tracks' samples differ from the image's";
}

TEST_P(CueBatchTest, EachTrackIsEncodedOverItsOwnRangeWithTheSheetsTags) {
  FileDataList jobs;
  const std::vector<std::string> failed =
      test::AddSources(jobs, {root_ + "盤.cue"}, settings_, root_ + "out/", false);
  ASSERT_TRUE(failed.empty()) << failed.front();
  ASSERT_EQ(jobs.Count(), 3u);
  auto checked = PrepareBatch(jobs, settings_, root_, NativePathRules());
  ASSERT_TRUE(std::holds_alternative<BatchPlan>(checked))
      << std::get<BatchRefusal>(checked).message;
  MonotonicClock clock;
  BatchRun run(std::get<BatchPlan>(std::move(checked)), BuildOptionText(settings_), {.parallel = 2},
               clock, nullptr);
  std::vector<double> lastFractions(jobs.Count(), -1);
  QObject::connect(&run, &BatchRun::JobProgress,
                   [&](std::size_t job, int, double fraction) { lastFractions[job] = fraction; });
  QSignalSpy finished(&run, &BatchRun::Finished);
  run.Start();
  ASSERT_TRUE(finished.wait(120000));
  const auto outcomes = finished.front().at(0).value<std::vector<JobOutcome>>();
  ASSERT_EQ(outcomes.size(), 3u);
  const char* names[] = {"01 一.ogg", "02 二.ogg", "03 三.ogg"};
  const std::uint64_t starts[] = {0, 180 * rate_ / 75, 311 * rate_ / 75, 6 * rate_};
  for (std::size_t i = 0; i < 3; ++i) {
    SCOPED_TRACE(names[i]);
    EXPECT_TRUE(outcomes[i].succeeded) << outcomes[i].reason;
    EXPECT_EQ(outcomes[i].outputPath, root_ + "out/" + names[i]);
    // The last granule position is the track's length in samples, to the sample.
    const DecodedStream stream = DecodeVorbisFile(
        outcomes[i].outputPath, [](int, std::uint32_t) {}, [](const float*, std::size_t) {});
    EXPECT_TRUE(stream.decoded) << stream.error;
    EXPECT_EQ(stream.frames, starts[i + 1] - starts[i]);
    // Progress runs over the track's own length, not the image's.
    EXPECT_GT(lastFractions[i], 0.9);
    EXPECT_EQ(jobs.Record(i).Album, "盤");
    EXPECT_EQ(jobs.Record(i).Artist, "歌手");
  }
}

INSTANTIATE_TEST_SUITE_P(Images, CueBatchTest, ::testing::Values("wav", "flac"));

}  // namespace
}  // namespace lumio
