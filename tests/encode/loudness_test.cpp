#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "encode/finish/output_measure.h"
#include "encode/finish/replaygain_fields.h"
#include "support/run_tool.h"
#include "support/temporary_folder.h"
#include "support/wave_bytes.h"

namespace lumio {
namespace {

// By ITU-R BS.1770 a 0 dBFS 1 kHz sine in one front channel reads -3.01 LKFS, so the
// same tone at -20 dBFS in both channels of a stereo stream reads -20.00 LUFS.
constexpr double kMinus20dBFS = 0.1;
constexpr double kStereoMinus20Lufs = -20.0;
// Vorbis is lossy: the decoded tone may differ from the source by this much.
constexpr double kToleranceDb = 0.1;

// Encodes `wave` with the real encoder and measures the decoded output.
OutputMeasure EncodeAndMeasure(const test::TemporaryFolder& dir, const std::string& name,
                               const std::string& wave) {
  const std::string input = dir.Path() + "/" + name + ".wav";
  const std::string output = dir.Path() + "/" + name + ".ogg";
  EXPECT_TRUE(test::WriteFile(input, wave));
  EXPECT_TRUE(test::RunTool({"oggenc", "-Q", "-q", "5", "-o", output, input}));
  return MeasureOutput(output, true);
}

class EncodedToneTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!test::RunTool({"oggenc", "--version"})) GTEST_SKIP() << "oggenc is not installed";
  }
  const test::TemporaryFolder dir_;
};

TEST_F(EncodedToneTest, StereoSineAtMinus20dBFSReadsMinus20LufsAndGainsTwoDecibels) {
  const OutputMeasure tone = EncodeAndMeasure(dir_, "tone", test::SineWave(10, 1000, kMinus20dBFS));
  ASSERT_TRUE(tone.stream.decoded) << tone.stream.error;
  ASSERT_TRUE(tone.loudness);
  const std::optional<double> loudness = tone.loudness->IntegratedLoudness();
  ASSERT_TRUE(loudness);
  EXPECT_NEAR(*loudness, kStereoMinus20Lufs, kToleranceDb);
  EXPECT_NEAR(kReplayGainReferenceLufs - *loudness, 2.0, kToleranceDb);
  // The lossy stream rings a little above the source's peak.
  EXPECT_NEAR(tone.loudness->SamplePeak(), kMinus20dBFS, kMinus20dBFS * 0.05);
  EXPECT_EQ(tone.stream.frames, 441000u);
  EXPECT_EQ(tone.stream.channels, 2);
}

TEST_F(EncodedToneTest, MonoSineCountsForBothSpeakers) {
  const OutputMeasure tone =
      EncodeAndMeasure(dir_, "mono", test::SineWave(10, 1000, kMinus20dBFS, 1));
  ASSERT_TRUE(tone.loudness);
  const std::optional<double> loudness = tone.loudness->IntegratedLoudness();
  ASSERT_TRUE(loudness);
  EXPECT_NEAR(*loudness, kStereoMinus20Lufs, kToleranceDb);
}

TEST_F(EncodedToneTest, AlbumOfToneAndToneSixDecibelsQuieterReadsTheirMeanPower) {
  const OutputMeasure loud = EncodeAndMeasure(dir_, "loud", test::SineWave(10, 1000, kMinus20dBFS));
  const OutputMeasure quiet =
      EncodeAndMeasure(dir_, "quiet", test::SineWave(10, 1000, kMinus20dBFS / 2));
  ASSERT_TRUE(loud.loudness && quiet.loudness);
  // Every 400 ms block of either track lies far above both gates, so the integrated
  // loudness is that of the mean power of all blocks: equal lengths give equal shares of
  // a power of 1 and one of (1/2)^2.
  const double expected = kStereoMinus20Lufs + 10 * std::log10((1 + 0.25) / 2);
  const std::optional<double> album = AlbumLoudness({loud.loudness.get(), quiet.loudness.get()});
  ASSERT_TRUE(album);
  EXPECT_NEAR(*album, expected, kToleranceDb);
  const std::optional<double> quietTrack = quiet.loudness->IntegratedLoudness();
  ASSERT_TRUE(quietTrack);
  EXPECT_NEAR(*quietTrack, kStereoMinus20Lufs - 20 * std::log10(2.0), kToleranceDb);
}

TEST_F(EncodedToneTest, SilenceHasNoLoudnessAndNoFields) {
  const OutputMeasure silence = EncodeAndMeasure(dir_, "silence", test::SilentWave(176400 * 3));
  ASSERT_TRUE(silence.loudness);
  EXPECT_FALSE(silence.loudness->IntegratedLoudness());
  EXPECT_TRUE(ReplayGainFields(silence.loudness->IntegratedLoudness(), 0, false).empty());
}

TEST(LoudnessMeter, StreamsTheLibraryCannotMeasureGetNoMeter) {
  const struct {
    int channels;
    std::uint32_t rate;
    bool measured;
  } rows[] = {{2, 44100, true},   {1, 8000, true}, {8, 192000, true}, {64, 48000, true},
              {65, 48000, false}, {2, 8, false},   {0, 44100, false}, {2, 4000000, false}};
  for (const auto& row : rows) {
    SCOPED_TRACE(std::to_string(row.channels) + " channels at " + std::to_string(row.rate));
    EXPECT_EQ(LoudnessMeter::Create(row.channels, row.rate) != nullptr, row.measured);
  }
}

TEST(MeasureOutput, FilesThatAreNoWholeOggVorbisStreamAreErrors) {
  const test::TemporaryFolder dir;
  const std::string wave = dir.Path() + "/tone.wav";
  ASSERT_TRUE(test::WriteToneWave(wave, 1));
  const std::string missing = dir.Path() + "/missing.ogg";
  for (const std::string& path : {wave, missing}) {
    SCOPED_TRACE(path);
    const OutputMeasure measure = MeasureOutput(path, true);
    EXPECT_FALSE(measure.stream.decoded);
    EXPECT_FALSE(measure.stream.error.empty());
    EXPECT_FALSE(measure.loudness);
  }
}

}  // namespace
}  // namespace lumio
