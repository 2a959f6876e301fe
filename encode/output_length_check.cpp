#include "encode/output_length_check.h"

#include <cmath>

namespace lumio {

namespace {

constexpr double kToleranceSeconds = 0.01;

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
                                                std::uint64_t outputFrames,
                                                std::uint32_t outputRate) {
  if (source.SampleFrames == 0 || source.SampleRate == 0 || outputRate == 0) return std::nullopt;
  const double sourceSeconds = static_cast<double>(source.SampleFrames) / source.SampleRate;
  const double outputSeconds = static_cast<double>(outputFrames) / outputRate;
  if (std::abs(sourceSeconds - outputSeconds) <= kToleranceSeconds) return std::nullopt;
  std::string reason = "出力の長さが入力と一致しません (出力 " +
                       LengthText(outputFrames, outputRate) + " / 入力 " +
                       LengthText(source.SampleFrames, source.SampleRate) + ")";
  if (source.CutShort) {
    reason += " 入力ファイルが途中で切れています (データ部がヘッダーの示す長さより短い)";
  }
  return reason;
}

}  // namespace lumio
