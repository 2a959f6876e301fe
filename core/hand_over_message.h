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
//
// The exchange: the sender sends the message; the receiver answers
// kHandOverAcknowledgement; the sender, still waiting, confirms with
// kHandOverConfirmation. The receiver takes the paths only on that confirmation, so a
// sender that gave up (and said so) before the answer came never has its paths taken.

// The largest body taken: 64 MB.
inline constexpr std::size_t kHandOverBodyLimit = std::size_t{64} << 20;

// The most paths one message carries. With the body limit it bounds what a receiver
// holds for one connection: the body, then at most this many paths made of its bytes.
inline constexpr std::size_t kHandOverPathLimit = 100'000;

// The longest path carried, in bytes (the NUL not counted): shorter than PATH_MAX, as
// any path the system can open is.
inline constexpr std::size_t kHandOverPathBytesLimit = 4095;

inline constexpr std::size_t kHandOverHeaderSize = 20;

// The byte with which the running Lumio says it has read the paths.
inline constexpr char kHandOverAcknowledgement = '\x06';

// The byte with which the sender, having had that answer in time, lets it take them.
inline constexpr char kHandOverConfirmation = '\x11';

// The whole message, empty paths left out; nullopt when it would exceed a limit above.
std::optional<std::string> EncodeHandOver(const std::vector<std::string>& paths);

// The body's length announced by `header` (kHandOverHeaderSize bytes); nullopt when the
// header is no hand-over's or announces more than kHandOverBodyLimit.
std::optional<std::size_t> HandOverBodyLength(std::string_view header);

// The paths of a whole body, empty ones dropped; nullopt when its last path has no NUL
// after it, or a path or their number exceeds its limit.
std::optional<std::vector<std::string>> HandOverPaths(std::string_view body);

}  // namespace lumio
