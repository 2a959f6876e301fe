#pragma once

#include <string>
#include <string_view>

namespace lumio {

// Whether `text` is well-formed UTF-8: no stray or truncated sequences, no overlong
// forms, no surrogates, nothing above U+10FFFF.
bool IsValidUtf8(std::string_view text);

// `text` with every byte that is not part of a well-formed UTF-8 sequence replaced by
// U+FFFD, so that the result is always valid UTF-8.
std::string ToValidUtf8(std::string_view text);

// Text whose encoding nobody declared: taken as it is when it is valid UTF-8, otherwise
// converted from Shift-JIS (code page 932), the usual encoding of such text on Japanese
// systems. Bytes that are not CP932 either become U+FFFD. The result is valid UTF-8.
std::string Utf8OrCp932ToUtf8(std::string_view text);

}  // namespace lumio
