#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumio {

// The message in which a second start of Lumio hands its files and folders to the one
// already running: a fixed header (a greeting, then the body's length as 8 bytes, most
// significant first) and a body of the paths' exact bytes, each ended by a NUL, which no
// path holds. The length comes first so that the receiver refuses an oversized message
// before reading any of it.

// The largest body taken: about 700 000 paths of 100 bytes.
inline constexpr std::size_t kHandOverBodyLimit = std::size_t{64} << 20;

inline constexpr std::size_t kHandOverHeaderSize = 20;

// The byte with which the running Lumio says it has queued the paths.
inline constexpr char kHandOverAcknowledgement = '\x06';

// The whole message; nullopt when the body would exceed kHandOverBodyLimit.
std::optional<std::string> EncodeHandOver(const std::vector<std::string>& paths);

// The body's length announced by `header` (kHandOverHeaderSize bytes); nullopt when the
// header is no hand-over's or announces more than kHandOverBodyLimit.
std::optional<std::size_t> HandOverBodyLength(std::string_view header);

// The paths of a whole body; nullopt when its last path has no NUL after it.
std::optional<std::vector<std::string>> HandOverPaths(std::string_view body);

}  // namespace lumio
