#include "encode/finish/output_length_check.h"

#include <algorithm>
#include <cmath>

namespace lumio {

namespace {

// Lengths from a header that counts samples agree to the sample; the encoder may only
// resample, so they are compared as times.
constexpr double kExactToleranceSeconds = 0.01;
// A container's duration and a decoder's count of what it wrote are close, not exact:
// codec delay and padding, a duration known to the millisecond, a last packet counted
// whole. A decoder that stopped early falls far outside.
constexpr double kDecodedToleranceSeconds = 0.5;
constexpr double kDecodedToleranceShare = 0.01;

constexpr std::uint32_t kMillisecondRate = 1000;
constexpr std::uint32_t kMicrosecondRate = 1'000'000;

double Seconds(std::uint64_t frames, std::uint32_t rate) {
  return static_cast<double>(frames) / rate;
}

bool Apart(double output, double reference, double tolerance) {
  return std::abs(output - reference) > tolerance;
}

double DecodedTolerance(double referenceSeconds) {
  return std::max(kDecodedToleranceSeconds, kDecodedToleranceShare * referenceSeconds);
}

}  // namespace

std::string LengthText(std::uint64_t frames, std::uint32_t sampleRate) {
  const std::uint64_t ms = sampleRate == 0 ? 0 : frames * 1000 / sampleRate;
  const std::uint64_t seconds = ms / 1000 % 60;
  const std::uint64_t millis = ms % 1000;
  std::string text =
      std::to_string(ms / 60000) + (seconds < 10 ? ":0" : ":") + std::to_string(seconds) + ".";
  text += millis < 100 ? (millis < 10 ? "00" : "0") : "";
  return text + std::to_string(millis);
}

std::optional<std::string> OutputLengthMismatch(const AudioFigures& source,
                                                std::optional<std::int64_t> decoderWrittenUs,
                                                std::uint64_t outputFrames,
                                                std::uint32_t outputRate) {
  if (outputRate == 0) return std::nullopt;
  const double output = Seconds(outputFrames, outputRate);
  const std::string outputText = LengthText(outputFrames, outputRate);
  std::optional<std::string> sourceLength;
  if (source.SampleFrames > 0 && source.SampleRate > 0) {
    if (Apart(output, Seconds(source.SampleFrames, source.SampleRate), kExactToleranceSeconds)) {
      sourceLength = LengthText(source.SampleFrames, source.SampleRate);
    }
  } else if (source.PlayTime > 0) {
    const auto playTime = static_cast<std::uint64_t>(source.PlayTime);
    const double duration = Seconds(playTime, kMillisecondRate);
    if (Apart(output, duration, DecodedTolerance(duration))) {
      sourceLength = LengthText(playTime, kMillisecondRate);
    }
  }
  if (sourceLength) {
    std::string reason =
        "出力の長さが入力と一致しません (出力 " + outputText + " / 入力 " + *sourceLength + ")";
    if (source.CutShort) {
      reason += " 入力ファイルが途中で切れています (データ部がヘッダーの示す長さより短い)";
    }
    return reason;
  }
  if (decoderWrittenUs && *decoderWrittenUs >= 0) {
    const auto written = static_cast<std::uint64_t>(*decoderWrittenUs);
    const double writtenSeconds = Seconds(written, kMicrosecondRate);
    if (Apart(output, writtenSeconds, DecodedTolerance(writtenSeconds))) {
      return "出力の長さがデコーダの書き出した長さと一致しません (出力 " + outputText +
             " / デコーダ " + LengthText(written, kMicrosecondRate) + ")";
    }
  }
  return std::nullopt;
}

}  // namespace lumio
