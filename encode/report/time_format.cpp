#include "encode/report/time_format.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace lumio {

namespace {

constexpr int SignificantDigits = 5;
constexpr int Decimals = 4;

// Digits and point of the value's exact decimal expansion (far more fraction digits than
// any ratio of two 64-bit counts needs), so that rounding happens once, on exact digits.
std::string ExactFixed(double value) {
  char buffer[400];
  std::snprintf(buffer, sizeof buffer, "%.200f", value);
  return buffer;
}

}  // namespace

std::string FormatElapsedTime(std::int64_t milliseconds) {
  const std::int64_t t = milliseconds < 0 ? 0 : milliseconds;
  const std::int64_t minutes = t / 60000;
  const std::int64_t seconds = t % 60000 / 1000;
  return std::to_string(minutes) + "分" + std::to_string(seconds) + "秒";
}

std::string FormatTimeRatio(std::int64_t playMilliseconds, std::int64_t elapsedMilliseconds) {
  // A coarse clock can measure 0 ms for an encoder that ends at once; counting that as
  // 1 ms keeps the text a finite number instead of "inf" or "nan".
  const std::int64_t elapsed = elapsedMilliseconds < 1 ? 1 : elapsedMilliseconds;
  const double ratio = static_cast<double>(playMilliseconds) / static_cast<double>(elapsed);

  const std::string exact = ExactFixed(std::abs(ratio));
  const std::size_t point = exact.find('.');
  std::string digits = exact.substr(0, point) + exact.substr(point + 1);

  // At or above 1 the integer part has no leading zero and five significant digits are
  // the first five; below 1 four decimals are coarser and are again the first five digits
  // ("0" and four decimals). Either way: keep five digits and round half away from zero.
  const std::size_t kept = SignificantDigits;
  bool roundUp = digits[kept] >= '5';
  for (std::size_t i = kept; i < digits.size(); ++i) digits[i] = '0';
  for (std::size_t i = kept; roundUp && i-- > 0;) {
    if (digits[i] == '9') {
      digits[i] = '0';
    } else {
      ++digits[i];
      roundUp = false;
    }
  }
  std::size_t integerLength = point;
  if (roundUp) {
    digits.insert(digits.begin(), '1');
    ++integerLength;
  }

  std::string text = digits.substr(0, integerLength) + "." + digits.substr(integerLength, Decimals);
  if (ratio < 0 && text.find_first_not_of("0.") != std::string::npos) text.insert(0, "-");
  return text;
}

}  // namespace lumio
