#include "core/wave_reader.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "core/wave_source_reader.h"
#include "support/temporary_folder.h"
#include "support/wave_bytes.h"

namespace lumio {
namespace {

using test::Chunk;
using test::HeaderBlock;
using test::PlainWave;
using test::WaveFormat;

// Remembers every read, so that tests can tell which bytes the reader looked at.
class RecordingSource : public MemoryByteSource {
 public:
  explicit RecordingSource(std::string_view bytes) : MemoryByteSource(bytes) {}
  std::size_t ReadAt(std::uint64_t position, void* buffer, std::size_t size) override {
    reads.emplace_back(position, size);
    return MemoryByteSource::ReadAt(position, buffer, size);
  }
  std::vector<std::pair<std::uint64_t, std::size_t>> reads;
};

struct ReadResult {
  bool pcm;
  AudioFigures wave;
};

ReadResult Read(const std::string& bytes) {
  MemoryByteSource source(bytes);
  // Stale values must not survive a call.
  ReadResult result{true, {123, "stale"}};
  result.pcm = ReadWaveInfo(source, result.wave);
  return result;
}

WaveFormat Mono() {
  WaveFormat format;
  format.channels = 1;
  format.byteRate = 88200;
  return format;
}

WaveFormat SixChannels() {
  WaveFormat format;
  format.channels = 6;
  format.sampleRate = 48000;
  format.byteRate = 576000;
  format.bits = 16;
  return format;
}

struct LineCase {
  const char* name;
  std::string bytes;
  std::int64_t playTime;
  std::string infoText;
};

class InformationLine : public testing::TestWithParam<LineCase> {};

TEST_P(InformationLine, IsMadeFromTheHeaderAndDataSize) {
  const ReadResult result = Read(GetParam().bytes);
  EXPECT_TRUE(result.pcm);
  EXPECT_EQ(result.wave.PlayTime, GetParam().playTime);
  EXPECT_EQ(result.wave.InfoText, GetParam().infoText);
}

INSTANTIATE_TEST_SUITE_P(
    WaveReader, InformationLine,
    testing::Values(LineCase{"OneMinuteStereo", PlainWave(10'584'000), 60000,
                             "データ部 10335 KB  16 bit  44100 Hz  ステレオ  再生時間 1:00"},
                    LineCase{"TwentyEightSeconds", PlainWave(5'000'000), 28344,
                             "データ部 4882 KB  16 bit  44100 Hz  ステレオ  再生時間 0:28"},
                    LineCase{"Mono", PlainWave(88200 * 75, Mono()), 75000,
                             "データ部 6459 KB  16 bit  44100 Hz  モノラル  再生時間 1:15"},
                    LineCase{"SixChannelsHaveNoChannelWord", PlainWave(576000 * 9, SixChannels()),
                             9000, "データ部 5062 KB  16 bit  48000 Hz    再生時間 0:09"},
                    LineCase{"UnderOneKilobyte", PlainWave(1023), 5,
                             "データ部 0 KB  16 bit  44100 Hz  ステレオ  再生時間 0:00"},
                    LineCase{"EmptyData", PlainWave(0), 0,
                             "データ部 0 KB  16 bit  44100 Hz  ステレオ  再生時間 0:00"},
                    LineCase{"AnHourInMinutes", PlainWave(176400u * 3600), 3600000,
                             "データ部 620156 KB  16 bit  44100 Hz  ステレオ  再生時間 60:00"},
                    LineCase{"LargestDataSize", PlainWave(0xFFFFFFFF), 24347887,
                             "データ部 4194303 KB  16 bit  44100 Hz  ステレオ  再生時間 405:47"}),
    [](const auto& info) { return info.param.name; });

struct ScanCase {
  const char* name;
  std::string bytes;
  std::int64_t playTime;  // 1000 per 176400 bytes of declared data
};

class ChunkScan : public testing::TestWithParam<ScanCase> {};

TEST_P(ChunkScan, FindsTheDeclaredDataSize) {
  const ReadResult result = Read(GetParam().bytes);
  EXPECT_TRUE(result.pcm);
  EXPECT_EQ(result.wave.PlayTime, GetParam().playTime);
}

const std::string kBlock = HeaderBlock({});

std::string EmptyChunks(int count) {
  std::string chunks;
  for (int i = 0; i < count; ++i) chunks += Chunk("JUNK", 0);
  return chunks;
}

INSTANTIATE_TEST_SUITE_P(
    WaveReader, ChunkScan,
    testing::Values(
        ScanCase{"ListChunkSkipped", kBlock + Chunk("LIST", 26, 26) + Chunk("data", 176400), 1000},
        ScanCase{"OddSizeHasNoPadByte", kBlock + Chunk("junk", 3, 3) + Chunk("data", 352800), 2000},
        ScanCase{"UpperCaseDataIsAnotherChunk",
                 kBlock + Chunk("DATA", 4, 4) + Chunk("data", 529200), 3000},
        ScanCase{"OnlyUpperCaseDataMeansNoData", kBlock + Chunk("DATA", 176400, 16), 0},
        ScanCase{"DataHeaderEndingTheFileIsRead",
                 kBlock + Chunk("fact", 4, 4) + Chunk("data", 176400), 1000},
        ScanCase{"LongerFormatChunkMisreadsTheScan",
                 [] {
                   WaveFormat format;
                   format.formatSize = 18;
                   return HeaderBlock(format) + std::string(2, '\0') + Chunk("data", 176400, 64);
                 }(),
                 0},
        ScanCase{"HugeDeclaredSizeEndsTheScan",
                 kBlock + Chunk("junk", 0xFFFFFFF8) + Chunk("data", 176400, 64), 0},
        ScanCase{"BodyRunningPastTheEndEndsTheScan",
                 kBlock + Chunk("junk", 100, 40) + Chunk("data", 176400), 0},
        ScanCase{"FileEndsInsideFirstChunkHeader", kBlock + "data", 0},
        ScanCase{"ZeroBytesAfterTheFormatEndTheScan",
                 kBlock + std::string(64, '\0') + Chunk("data", 176400), 0},
        ScanCase{"UnprintableIdentifierEndsTheScan",
                 kBlock + Chunk("ju\x01k", 0) + Chunk("data", 176400), 0},
        ScanCase{"BlankInIdentifierIsPrintable",
                 kBlock + Chunk("id3 ", 2, 2) + Chunk("data", 176400), 1000},
        ScanCase{"DataBehindAThousandChunksIsFound",
                 kBlock + EmptyChunks(1000) + Chunk("data", 176400), 1000},
        // A crafted file of millions of them would hold the reader up for seconds.
        ScanCase{"MoreChunksThanAnyFileHoldsEndTheScan",
                 kBlock + EmptyChunks(4096) + Chunk("data", 176400), 0}),
    [](const auto& info) { return info.param.name; });

struct NotPcmCase {
  const char* name;
  std::string bytes;
};

class NotPcm : public testing::TestWithParam<NotPcmCase> {};

TEST_P(NotPcm, GivesFalseAndEmptyResults) {
  const ReadResult result = Read(GetParam().bytes);
  EXPECT_FALSE(result.pcm);
  EXPECT_EQ(result.wave.PlayTime, 0);
  EXPECT_EQ(result.wave.InfoText, "");
}

WaveFormat With(void (*change)(WaveFormat&)) {
  WaveFormat format;
  change(format);
  return format;
}

INSTANTIATE_TEST_SUITE_P(
    WaveReader, NotPcm,
    testing::Values(
        NotPcmCase{"RiffOfAnotherForm",
                   PlainWave(1000, With([](WaveFormat& f) { f.formAndFirstChunk = "AVI LIST"; }))},
        NotPcmCase{"LowerCaseForm",
                   PlainWave(1000, With([](WaveFormat& f) { f.formAndFirstChunk = "wavefmt "; }))},
        NotPcmCase{"FloatingPoint", PlainWave(1000, With([](WaveFormat& f) { f.formatTag = 3; }))},
        NotPcmCase{"NotPcmWithByteRateZero", PlainWave(1000, With([](WaveFormat& f) {
                                                         f.formatTag = 2;
                                                         f.byteRate = 0;
                                                       }))},
        NotPcmCase{"ShorterThanTheBlock", HeaderBlock({}).substr(0, 35)}),
    [](const auto& info) { return info.param.name; });

TEST(WaveReader, PcmWithByteRateZeroIsAnErrorEvenWithoutData) {
  WaveFormat format;
  format.byteRate = 0;
  const std::string bytes = PlainWave(0, format);
  MemoryByteSource source(bytes);
  AudioFigures wave;
  EXPECT_THROW(ReadWaveInfo(source, wave), SourceReadError);
}

TEST(WaveReader, ReadsOnlyTheBlockAndChunkHeaders) {
  using Reads = std::vector<std::pair<std::uint64_t, std::size_t>>;
  const std::string plain = PlainWave(176400);
  const std::string tagged = kBlock + Chunk("LIST", 1001, 1001) + Chunk("data", 176400);

  RecordingSource plainSource(plain);
  AudioFigures wave;
  ReadWaveInfo(plainSource, wave);
  EXPECT_EQ(plainSource.reads, (Reads{{0, 44}}));

  RecordingSource taggedSource(tagged);
  ReadWaveInfo(taggedSource, wave);
  EXPECT_EQ(taggedSource.reads, (Reads{{0, 44}, {1045, 8}}));
  EXPECT_EQ(wave.PlayTime, 1000);
}

// Files on disk: the file-backed source behind ReadWaveInfo(path, ...).
class WaveFile : public testing::Test {
 protected:
  std::string Write(const std::string& name, const std::string& bytes) {
    return temporary_.Write(name, bytes);
  }

  const test::TemporaryFolder temporary_;
  const std::string folder_ = temporary_.Path();
};

TEST_F(WaveFile, ReadsTheHeaderFromDisk) {
  const std::string path =
      Write("tagged.wav", kBlock + Chunk("LIST", 5, 5) + Chunk("data", 5'000'000, 100));
  AudioFigures wave;
  ASSERT_TRUE(ReadWaveInfo(path, wave));
  EXPECT_EQ(wave.PlayTime, 28344);
  EXPECT_EQ(wave.InfoText, "データ部 4882 KB  16 bit  44100 Hz  ステレオ  再生時間 0:28");
}

TEST_F(WaveFile, TwoGigabytesOfZerosAreAddedAtOnce) {
  const std::string path = Write("zeros.wav", kBlock);
  ASSERT_EQ(::truncate(path.c_str(), std::int64_t{2} << 30), 0);  // sparse: no disk used
  const auto start = std::chrono::steady_clock::now();
  AudioFigures wave;
  ASSERT_TRUE(ReadWaveInfo(path, wave));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(100));
  EXPECT_EQ(wave.PlayTime, 0);
}

TEST_F(WaveFile, UnreadablePathsAreErrors) {
  AudioFigures wave;
  EXPECT_THROW(ReadWaveInfo(folder_ + "/missing.wav", wave), SourceReadError);
  EXPECT_THROW(ReadWaveInfo(folder_, wave), SourceReadError);
  // A named pipe without a writer must not block the reader.
  const std::string pipe = folder_ + "/pipe.wav";
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  EXPECT_THROW(ReadWaveInfo(pipe, wave), SourceReadError);
}

}  // namespace
}  // namespace lumio
