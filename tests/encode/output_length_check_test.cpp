#include "encode/finish/output_length_check.h"

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

// A decoded source: its container tells a duration, not a count of samples.
AudioFigures Decoded(std::int64_t playTimeMs) {
  AudioFigures figures;
  figures.PlayTime = playTimeMs;
  figures.SampleRate = 44100;
  return figures;
}

TEST(OutputLengthMismatch, OutputsAgreeWithWhatTheSourceAndTheDecoderTell) {
  const struct {
    const char* what;
    AudioFigures source;
    std::optional<std::int64_t> decoderWrittenUs;
    std::uint64_t outputFrames;
    std::uint32_t outputRate;
    std::optional<std::string> reason;
  } rows[] = {
      {"same length", Source(441000, 44100), std::nullopt, 441000, 44100, std::nullopt},
      {"441 frames short is 10 ms", Source(441000, 44100), std::nullopt, 440559, 44100,
       std::nullopt},
      {"442 frames short", Source(441000, 44100), std::nullopt, 440558, 44100,
       "出力の長さが入力と一致しません (出力 0:09.989 / 入力 0:10.000)"},
      {"longer", Source(441000, 44100), std::nullopt, 441000 + 44100, 44100,
       "出力の長さが入力と一致しません (出力 0:11.000 / 入力 0:10.000)"},
      {"resampled to 48 kHz, same time", Source(441000, 44100), std::nullopt, 480000, 48000,
       std::nullopt},
      {"header tells no length", Source(0, 44100), std::nullopt, 1234, 44100, std::nullopt},
      {"minutes above an hour", Source(44100 * 3700, 44100), std::nullopt, 44100, 44100,
       "出力の長さが入力と一致しません (出力 0:01.000 / 入力 61:40.000)"},
      {"a source cut short is named", Source(441000, 44100, true), std::nullopt, 220500, 44100,
       "出力の長さが入力と一致しません (出力 0:05.000 / 入力 0:10.000) "
       "入力ファイルが途中で切れています (データ部がヘッダーの示す長さより短い)"},
      // A decoded source: the container's duration, within 0.5 s or 1 %.
      {"decoder stopped early, said so", Decoded(20000), 1'700'000, 74970, 44100,
       "出力の長さが入力と一致しません (出力 0:01.700 / 入力 0:20.000)"},
      {"decoder stopped early, said nothing", Decoded(20000), std::nullopt, 74970, 44100,
       "出力の長さが入力と一致しません (出力 0:01.700 / 入力 0:20.000)"},
      {"codec padding", Decoded(3000), 3'026'122, 133452, 44100, std::nullopt},
      {"0.5 s short", Decoded(20000), std::nullopt, 44100 * 39 / 2, 44100, std::nullopt},
      {"0.6 s short", Decoded(20000), std::nullopt, 44100 * 194 / 10, 44100,
       "出力の長さが入力と一致しません (出力 0:19.400 / 入力 0:20.000)"},
      {"an hour within 1 %", Decoded(3'600'000), std::nullopt, 44100 * 3570, 44100, std::nullopt},
      {"an hour beyond 1 %", Decoded(3'600'000), std::nullopt, 44100 * 3560, 44100,
       "出力の長さが入力と一致しません (出力 59:20.000 / 入力 60:00.000)"},
      // What the decoder says it wrote must be what reached the output.
      {"decoder claims more than it wrote", Decoded(0), 20'000'000, 74970, 44100,
       "出力の長さがデコーダの書き出した長さと一致しません (出力 0:01.700 / デコーダ 0:20.000)"},
      {"all three agree", Source(441000 * 2, 44100), 20'000'000, 441000 * 2, 44100, std::nullopt},
      {"a track of a decoded image lost its end", Source(441000, 44100), 5'000'000, 441000, 44100,
       "出力の長さがデコーダの書き出した長さと一致しません (出力 0:10.000 / デコーダ 0:05.000)"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    EXPECT_EQ(
        OutputLengthMismatch(row.source, row.decoderWrittenUs, row.outputFrames, row.outputRate),
        row.reason);
  }
}

}  // namespace
}  // namespace lumio
