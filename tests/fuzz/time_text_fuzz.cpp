// Any times: the elapsed-time text is "<m>分<s>秒" with s below 60, and the ratio text
// is a finite number with exactly four decimals.
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "encode/report/time_format.h"

namespace {

bool AllDigits(const std::string& text) {
  return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const std::int64_t first = input.ConsumeIntegral<std::int64_t>();
  const std::int64_t second = input.ConsumeIntegral<std::int64_t>();

  const std::string elapsed = lumio::FormatElapsedTime(first);
  const std::size_t minutes = elapsed.find("分");
  if (minutes == std::string::npos || elapsed.size() < minutes + 3 + 3 ||
      elapsed.compare(elapsed.size() - 3, 3, "秒") != 0 || !AllDigits(elapsed.substr(0, minutes))) {
    std::abort();
  }
  const std::string seconds = elapsed.substr(minutes + 3, elapsed.size() - minutes - 6);
  if (!AllDigits(seconds) || seconds.size() > 2 || std::stoi(seconds) >= 60) std::abort();

  const std::string ratio = lumio::FormatTimeRatio(first, second);
  const std::size_t point = ratio.find('.');
  if (point == std::string::npos || ratio.size() != point + 5 ||
      !AllDigits(ratio.substr(point + 1)) || !std::isfinite(std::strtod(ratio.c_str(), nullptr))) {
    std::abort();
  }
  return 0;
}
