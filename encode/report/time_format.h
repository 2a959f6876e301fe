#pragma once

#include <cstdint>
#include <string>

namespace lumio {

// An elapsed time as whole minutes and whole seconds, both truncated: 125400 gives
// "2分5秒", 3600000 gives "60分0秒" (there is no hour unit). A negative time gives "0分0秒".
std::string FormatElapsedTime(std::int64_t milliseconds);

// Playing time divided by processing time, rounded once to five significant digits (or to
// four decimals when that is coarser) and written with exactly four decimals: 240000 over
// 61250 gives "3.9184", 1234567 over 100 gives "12346.0000". A processing time of 0 ms or
// less counts as 1 ms, so the text is always a finite number ("0.0000" for no playing time).
std::string FormatTimeRatio(std::int64_t playMilliseconds, std::int64_t elapsedMilliseconds);

}  // namespace lumio
