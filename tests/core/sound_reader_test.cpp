#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "core/aiff_reader.h"
#include "core/audio_kind.h"
#include "core/flac_reader.h"
#include "core/wave_source_reader.h"
#include "support/sound_bytes.h"
#include "support/wave_bytes.h"

namespace lumio {
namespace {

using test::Aiff;
using test::AiffChunk;
using test::FlacStart;

struct KindCase {
  const char* path;
  AudioKind kind;
};

TEST(AudioKind, ComesFromTheExtensionInAnyLetterCase) {
  const PathRules posix{PathStyle::Posix, CodePage::Utf8};
  const KindCase cases[] = {
      {"/m/a.wav", AudioKind::Wave},          {"/m/a.WAV", AudioKind::Wave},
      {"/m/a.Wav", AudioKind::Wave},          {"/m/a.flac", AudioKind::Flac},
      {"/m/曲.FLAC", AudioKind::Flac},        {"/m/a.aif", AudioKind::Aiff},
      {"/m/a.AIFF", AudioKind::Aiff},         {"/m/a.aifc", AudioKind::Aiff},
      {"/m/a.ogg", AudioKind::Decoded},       {"/m/wav", AudioKind::Unsupported},
      {"/m/a.M4A", AudioKind::Decoded},       {"/m/曲.Opus", AudioKind::Decoded},
      {"/m/a.mp3", AudioKind::Decoded},       {"/m/a.CAF", AudioKind::Decoded},
      {"/m/a.mp3x", AudioKind::Unsupported},  {"/m/a.txt", AudioKind::Unsupported},
      {"/m.flac/a", AudioKind::Unsupported},  {"/m/a.wav.txt", AudioKind::Unsupported},
      {"/m/a.flac ", AudioKind::Unsupported},
  };
  for (const KindCase& c : cases) EXPECT_EQ(AudioKindOf(c.path, posix), c.kind) << c.path;
  const PathRules windows{PathStyle::Windows, CodePage::ShiftJis};
  EXPECT_EQ(AudioKindOf("C:\\m.flac\\a", windows), AudioKind::Unsupported);
  EXPECT_EQ(AudioKindOf("C:\\\x95\x5c.WAV", windows), AudioKind::Wave);  // 表.WAV
  EXPECT_EQ(AudioKindOf("a.\x95\x5c", windows), AudioKind::Unsupported);
}

struct SoundCase {
  const char* name;
  bool (*read)(ByteSource&, AudioFigures&);
  std::string bytes;
  bool valid;
  std::int64_t playTime;
  std::string infoText;
};

class SoundHeader : public testing::TestWithParam<SoundCase> {};

TEST_P(SoundHeader, GivesTheWaveLayoutOrNothing) {
  const SoundCase& c = GetParam();
  MemoryByteSource source(c.bytes);
  AudioFigures wave{123, "stale"};
  EXPECT_EQ(c.read(source, wave), c.valid);
  EXPECT_EQ(wave.PlayTime, c.playTime);
  EXPECT_EQ(wave.InfoText, c.infoText);
}

const std::string kId3Tag =
    std::string("ID3\x03\x00\x00\x00\x00\x01\x00", 10) + std::string(128, '\0');

INSTANTIATE_TEST_SUITE_P(
    Readers, SoundHeader,
    testing::Values(
        SoundCase{"FlacOneMinuteStereo", ReadFlacInfo, FlacStart(44100, 2, 16, 44100 * 60), true,
                  60000, "データ部 10335 KB  16 bit  44100 Hz  ステレオ  再生時間 1:00"},
        SoundCase{"Flac24BitMonoTakesThreeBytes", ReadFlacInfo, FlacStart(96000, 1, 24, 96000 * 75),
                  true, 75000, "データ部 21093 KB  24 bit  96000 Hz  モノラル  再生時間 1:15"},
        SoundCase{"FlacSixChannels", ReadFlacInfo, FlacStart(48000, 6, 16, 48000 * 9), true, 9000,
                  "データ部 5062 KB  16 bit  48000 Hz    再生時間 0:09"},
        SoundCase{"FlacWithUnknownLength", ReadFlacInfo, FlacStart(44100, 2, 16, 0), true, 0,
                  "データ部 0 KB  16 bit  44100 Hz  ステレオ  再生時間 0:00"},
        SoundCase{"FlacLongestStream", ReadFlacInfo, FlacStart(44100, 8, 32, 0xFFFFFFFFFull), true,
                  1558264778, "データ部 2147483647 KB  32 bit  44100 Hz    再生時間 25971:04"},
        SoundCase{"FlacBehindAnId3Tag", ReadFlacInfo, kId3Tag + FlacStart(44100, 2, 16, 44100),
                  true, 1000, "データ部 172 KB  16 bit  44100 Hz  ステレオ  再生時間 0:01"},
        SoundCase{"FlacWithRateZero", ReadFlacInfo, FlacStart(0, 2, 16, 100), false, 0, ""},
        SoundCase{"WaveNamedFlac", ReadFlacInfo,
                  "RIFF\x24\x00\x00\x00WAVEfmt " + std::string(60, 'x'), false, 0, ""},
        SoundCase{"FlacCutShort", ReadFlacInfo, FlacStart(44100, 2, 16, 100).substr(0, 30), false,
                  0, ""},
        SoundCase{"AiffOneMinuteStereo", ReadAiffInfo, Aiff(2, 44100 * 60, 16, 44100), true, 60000,
                  "データ部 10335 KB  16 bit  44100 Hz  ステレオ  再生時間 1:00"},
        SoundCase{"AifcUncompressed", ReadAiffInfo, Aiff(1, 22050 * 28, 8, 22050, "NONE"), true,
                  28000, "データ部 602 KB  8 bit  22050 Hz  モノラル  再生時間 0:28"},
        SoundCase{"AifcLittleEndian", ReadAiffInfo, Aiff(2, 48000, 16, 48000, "sowt"), true, 1000,
                  "データ部 187 KB  16 bit  48000 Hz  ステレオ  再生時間 0:01"},
        SoundCase{"AifcCompressed", ReadAiffInfo, Aiff(2, 48000, 16, 48000, "ima4"), false, 0, ""},
        SoundCase{"AiffOddChunkIsPadded", ReadAiffInfo,
                  Aiff(2, 44100, 16, 44100, "", AiffChunk("NAME", "odd")), true, 1000,
                  "データ部 172 KB  16 bit  44100 Hz  ステレオ  再生時間 0:01"},
        SoundCase{"AiffWithoutSoundChunk", ReadAiffInfo,
                  "FORM" + test::Be32(30) + "AIFF" +
                      AiffChunk("COMM", test::Be16(2) + test::Be32(1) + test::Be16(16) +
                                            test::Extended(44100)),
                  false, 0, ""},
        SoundCase{"AiffZerosBeforeSound", ReadAiffInfo,
                  Aiff(2, 44100, 16, 44100, "", std::string(64, '\0')), false, 0, ""},
        SoundCase{"AiffWithRateZero", ReadAiffInfo, Aiff(2, 44100, 16, 0), false, 0, ""},
        SoundCase{"FlacNamedAiff", ReadAiffInfo, FlacStart(44100, 2, 16, 100), false, 0, ""}),
    [](const auto& info) { return info.param.name; });

// A metadata block: its type, with the last-block flag, and its body.
std::string FlacBlockBytes(unsigned char type, const std::string& body, bool last = false) {
  const auto size = static_cast<std::uint32_t>(body.size());
  return std::string{static_cast<char>(last ? type | 0x80 : type), static_cast<char>(size >> 16),
                     static_cast<char>(size >> 8), static_cast<char>(size)} +
         body;
}

// A stream whose STREAMINFO is followed by `blocks`.
std::string FlacWith(const std::string& blocks) {
  std::string start = FlacStart(44100, 2, 16, 44100);
  start[4] = 0;  // STREAMINFO is not the last block
  return start + blocks;
}

std::string Repeated(const std::string& bytes, int count) {
  std::string result;
  for (int i = 0; i < count; ++i) result += bytes;
  return result;
}

const std::string kComment = FlacBlockBytes(4, std::string(40, 'c'));
const std::string kLastComment = FlacBlockBytes(4, std::string(40, 'c'), true);
const std::string kPadding = FlacBlockBytes(1, "");

struct CommentBlockCase {
  const char* name;
  std::string bytes;
  std::int64_t position;  // of the comment body; -1 when none is taken
};

class FlacCommentBlock : public testing::TestWithParam<CommentBlockCase> {};

TEST_P(FlacCommentBlock, IsFoundOnlyWhereTheMetadataIsValid) {
  MemoryByteSource source(GetParam().bytes);
  const std::optional<FlacBlock> block = FindFlacCommentBlock(source);
  EXPECT_EQ(block ? static_cast<std::int64_t>(block->bodyPosition) : -1, GetParam().position);
  if (block) {
    EXPECT_EQ(block->size, 40u);
  }
}

// An ID3v2.4 tag of 20 bytes with a footer, as some taggers put before the stream.
const std::string kId3WithFooter = std::string("ID3\x04\x00\x10\x00\x00\x00\x14", 10) +
                                   std::string(20, '\0') +
                                   std::string("3DI\x04\x00\x10\x00\x00\x00\x14", 10);

INSTANTIATE_TEST_SUITE_P(
    Readers, FlacCommentBlock,
    testing::Values(
        CommentBlockCase{"CommentIsTheLastBlock", FlacWith(kPadding + kLastComment), 50},
        CommentBlockCase{"BehindAnId3v24TagWithFooter",
                         kId3WithFooter + FlacWith(kComment + kPadding), 40 + 46},
        CommentBlockCase{"NoCommentBeforeTheLastBlock",
                         FlacWith(FlacBlockBytes(1, "", true) + kComment), -1},
        CommentBlockCase{"OnlyStreamInfo", FlacStart(44100, 2, 16, 44100) + kComment, -1},
        // Zero bytes read as empty STREAMINFO blocks: the rest holds no tags.
        CommentBlockCase{"ZerosBehindStreamInfo", FlacWith(std::string(4096, '\0') + kComment), -1},
        CommentBlockCase{"SecondStreamInfo",
                         FlacWith(FlacBlockBytes(0, std::string(34, 'i')) + kComment), -1},
        CommentBlockCase{"ReservedType127", FlacWith(FlacBlockBytes(127, "x") + kComment), -1},
        CommentBlockCase{"CommentRunningPastTheEnd", FlacWith(kComment.substr(0, 30)), -1},
        CommentBlockCase{"BlockRunningPastTheEnd",
                         FlacWith(FlacBlockBytes(1, std::string(100, 'p')).substr(0, 4) + kComment),
                         -1},
        CommentBlockCase{"BehindAThousandBlocks", FlacWith(Repeated(kPadding, 1000) + kComment),
                         42 + 4000 + 4},
        CommentBlockCase{"BehindMoreBlocksThanAnyWriterMakes",
                         FlacWith(Repeated(kPadding, 1024) + kComment), -1}),
    [](const auto& info) { return info.param.name; });

// The length an output is checked against, and whether the file holds all of it.
TEST(SoundLength, IsTheDeclaredFramesAndAShortWaveIsFound) {
  const std::string fourFrames = test::PcmWave(std::string(16, '\1'));
  const std::string withList = test::HeaderBlock({}) + test::Chunk("LIST", 4, 4) +
                               test::Chunk("data", 16) + std::string(16, '\1');
  const struct {
    const char* name;
    bool (*read)(ByteSource&, AudioFigures&);
    std::string bytes;
    std::uint64_t frames;
    std::uint32_t rate;
    bool cutShort;
  } rows[] = {
      {"FlacOneMinute", ReadFlacInfo, FlacStart(44100, 2, 16, 44100 * 60), 44100 * 60, 44100,
       false},
      {"Flac24BitMono", ReadFlacInfo, FlacStart(96000, 1, 24, 96000 * 75), 96000 * 75, 96000,
       false},
      {"FlacUnknownLength", ReadFlacInfo, FlacStart(44100, 2, 16, 0), 0, 44100, false},
      {"Aiff8BitMono", ReadAiffInfo, Aiff(1, 22050 * 28, 8, 22050, "NONE"), 22050 * 28, 22050,
       false},
      {"WaveWhole", ReadWaveInfo, fourFrames, 4, 44100, false},
      {"WaveMissingOneByte", ReadWaveInfo, fourFrames.substr(0, fourFrames.size() - 1), 4, 44100,
       true},
      {"WaveHeaderOnly", ReadWaveInfo, test::PlainWave(176400), 44100, 44100, true},
      {"WaveDataBehindAnotherChunk", ReadWaveInfo, withList, 4, 44100, false},
      {"WaveDataBehindAnotherChunkCut", ReadWaveInfo, withList.substr(0, withList.size() - 4), 4,
       44100, true},
      {"WaveLongerThanDeclared", ReadWaveInfo, fourFrames + "extra", 4, 44100, false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    MemoryByteSource source(row.bytes);
    AudioFigures wave;
    wave.CutShort = !row.cutShort;  // stale values are replaced
    ASSERT_TRUE(row.read(source, wave));
    EXPECT_EQ(wave.SampleFrames, row.frames);
    EXPECT_EQ(wave.SampleRate, row.rate);
    EXPECT_EQ(wave.CutShort, row.cutShort);
  }
}

}  // namespace
}  // namespace lumio
