#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <future>

#include "core/probe_figures.h"
#include "core/source_reading.h"
#include "platform/file_system.h"
#include "support/decoded_sources.h"
#include "support/fifo.h"
#include "support/temporary_folder.h"

namespace lumio {
namespace {

TEST(DecodedSource, InformationLineAndTagsOfEveryFormatTheDecoderReads) {
  if (FindOnSearchPath("ffmpeg").empty()) GTEST_SKIP() << "ffmpeg is not installed";
  const test::TemporaryFolder dir;
  int number = 0;
  for (const test::DecodedFormat& format : test::DecodedFormats()) {
    const std::string path =
        dir.Path() + "/source" + std::to_string(number++) + "." + format.extension;
    SCOPED_TRACE(path + " " + format.codec[1]);
    ASSERT_TRUE(test::MakeDecodedSource(path, format, 2.5));
    const SourceReading reading = ReadSource(path, NativePathRules());
    ASSERT_TRUE(reading.readable);
    // 2.5 s of stereo as the decoder writes it, whatever the codec adds as padding.
    const std::string& info = reading.audio.InfoText;
    EXPECT_NE(info.find(std::to_string(format.bits) + " bit  " + std::to_string(format.rate) +
                        " Hz  ステレオ  再生時間 0:02"),
              std::string::npos)
        << info;
    // The decoded PCM: samples × channels × bytes a sample.
    const std::string head = "データ部 ";
    ASSERT_EQ(info.rfind(head, 0), 0u) << info;
    const double kilobytes = std::stod(info.substr(head.size()));
    EXPECT_NEAR(kilobytes, 2.5 * format.rate * 2 * (format.bits / 8) / 1024, kilobytes * 0.03);
    EXPECT_NEAR(static_cast<double>(reading.audio.PlayTime), 2500, 60);
    if (format.tagged) {
      EXPECT_EQ(reading.tags.Title, test::kFixtureTitle);
      EXPECT_EQ(reading.tags.Artist, test::kFixtureArtist);
      EXPECT_EQ(reading.tags.Album, test::kFixtureAlbum);
      EXPECT_EQ(reading.tags.Date, test::kFixtureDate);
      EXPECT_EQ(reading.tags.TrackNumber, test::kFixtureTrack);
      // Fields beyond the six are carried as other sources' are.
      const std::vector<CarriedField>& carried = reading.tags.Carried.Fields;
      EXPECT_NE(
          std::find(carried.begin(), carried.end(), CarriedField{"GENRE", test::kFixtureGenre}),
          carried.end());
    }
  }
}

TEST(DecodedSource, FileNeitherTagLibNorTheProbeCanReadIsNotAdded) {
  const test::TemporaryFolder dir;
  for (const char* name : {"/noise.mp3", "/noise.mka", "/empty.opus"}) {
    const std::string path = dir.Path() + name;
    std::ofstream(path, std::ios::binary)
        << (std::string(name) == "/empty.opus" ? "" : std::string(5000, '\x55'));
    EXPECT_FALSE(ReadSource(path, NativePathRules()).readable) << name;
  }
}

TEST(DecodedSource, APipeOrDeviceNamedLikeASoundFileIsRefusedAtOnceWithItsReason) {
  const test::TemporaryFolder dir;
  for (const char* name :
       {"pipe.mp3", "pipe.wav", "pipe.flac", "pipe.aiff", "pipe.cue", "zero.m4a", "zero.wav"}) {
    SCOPED_TRACE(name);
    const std::string path = dir.Path() + "/" + name;
    const bool device = std::string(name).starts_with("zero");
    ASSERT_TRUE(device ? ::symlink("/dev/zero", path.c_str()) == 0 : test::MakeFifo(path));
    std::future<SourceReading> read =
        std::async(std::launch::async, [path] { return ReadSource(path, NativePathRules()); });
    // Far more than a refusal takes; a reader held by the pipe is let go after it.
    const bool answered = read.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
    if (!answered) test::ReleaseFifo(path);
    EXPECT_TRUE(answered);
    std::vector<std::string> failed;
    EXPECT_EQ(AddEntries(
                  path, read.get(),
                  [](const std::string&, const SourceReading& reading) { return reading.readable; },
                  failed),
              0u);
    EXPECT_EQ(failed, std::vector<std::string>{path + "（not a regular file）"});
  }
}

TEST(ProbeFigures, KeyValueLinesGiveTheFiguresOrNothing) {
  const struct {
    const char* output;
    bool valid;
    std::uint16_t bits;
    std::uint64_t dataSize;
  } rows[] = {
      {"sample_rate=44100\nchannels=2\nbits_per_raw_sample=N/A\nduration=1.000000\n", true, 16,
       176400},
      {"sample_rate=96000\r\nchannels=1\r\nbits_per_raw_sample=24\r\nduration=0.5\r\n", true, 24,
       144000},
      // A second stream's figures never replace the first's.
      {"sample_rate=8000\nchannels=1\nsample_rate=48000\nduration=2\n", true, 16, 32000},
      {"sample_rate=44100\nchannels=2\n", false, 0, 0},
      {"sample_rate=0\nchannels=2\nduration=1\n", false, 0, 0},
      {"sample_rate=44100\nchannels=0\nduration=1\n", false, 0, 0},
      {"sample_rate=44100\nchannels=2\nduration=N/A\n", false, 0, 0},
      {"sample_rate=44100\nchannels=2\nduration=-3\n", false, 0, 0},
      {"sample_rate=44100\nchannels=2\nduration=1e300\n", false, 0, 0},
      {"sample_rate=44100x\nchannels=2\nduration=1\n", false, 0, 0},
      // Months of 32-bit sound on 255 channels: more than any file holds.
      {"sample_rate=1000000\nchannels=255\nbits_per_raw_sample=32\nduration=9000000\n", false, 0,
       0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.output);
    const std::optional<SoundFigures> figures = ParseProbeFigures(row.output);
    ASSERT_EQ(figures.has_value(), row.valid);
    if (!figures) continue;
    EXPECT_EQ(figures->bits, row.bits);
    EXPECT_EQ(figures->dataSize, row.dataSize);
    EXPECT_EQ(figures->byteRate, figures->sampleRate * figures->channels * (row.bits / 8u));
  }
}

}  // namespace
}  // namespace lumio
