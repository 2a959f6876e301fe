#include "encode/output_length_check.h"

#include <gtest/gtest.h>

namespace lumio {
namespace {

AudioFigures Source(std::uint64_t frames, std::uint32_t rate, bool cutShort = false) {
  AudioFigures wave;
  wave.SampleFrames = frames;
  wave.SampleRate = rate;
  wave.CutShort = cutShort;
  return wave;
}

TEST(OutputLengthMismatch, OutputsWithinOneHundredthOfASecondAreWhole) {
  const struct {
    const char* what;
    AudioFigures source;
    std::uint64_t outputFrames;
    std::uint32_t outputRate;
    std::optional<std::string> reason;
  } rows[] = {
      {"same length", Source(441000, 44100), 441000, 44100, std::nullopt},
      {"441 frames short is 10 ms", Source(441000, 44100), 440559, 44100, std::nullopt},
      {"442 frames short", Source(441000, 44100), 440558, 44100,
       "出力の長さが入力と一致しません (出力 0:09.989 / 入力 0:10.000)"},
      {"longer", Source(441000, 44100), 441000 + 44100, 44100,
       "出力の長さが入力と一致しません (出力 0:11.000 / 入力 0:10.000)"},
      {"resampled to 48 kHz, same time", Source(441000, 44100), 480000, 48000, std::nullopt},
      {"header tells no length", Source(0, 44100), 1234, 44100, std::nullopt},
      {"minutes above an hour", Source(44100 * 3700, 44100), 44100, 44100,
       "出力の長さが入力と一致しません (出力 0:01.000 / 入力 61:40.000)"},
      {"a source cut short is named", Source(441000, 44100, true), 220500, 44100,
       "出力の長さが入力と一致しません (出力 0:05.000 / 入力 0:10.000) "
       "入力ファイルが途中で切れています (データ部がヘッダーの示す長さより短い)"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    EXPECT_EQ(OutputLengthMismatch(row.source, row.outputFrames, row.outputRate), row.reason);
  }
}

}  // namespace
}  // namespace lumio
