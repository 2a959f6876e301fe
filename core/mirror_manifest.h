#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumio {

// The name of the list, in a kept tree's output root, of the outputs Lumio wrote there.
inline constexpr std::string_view kMirrorManifestName = ".lumio-mirror";

// The longest list that is read, and the most entries it may hold: a list past either
// is no list Lumio wrote, and nothing is removed on its word.
inline constexpr std::size_t kLongestMirrorManifest = 64u << 20;
inline constexpr std::size_t kMostMirrorEntries = 1u << 20;

// One output as Lumio wrote it: its path below the output root, the absolute path of its
// source, and its size and modification time (nanoseconds since 1970) right after.
struct MirrorEntry {
  std::string output;
  std::string source;
  std::int64_t size = 0;
  std::int64_t modifiedNs = 0;

  bool operator==(const MirrorEntry& other) const = default;
};

// The list's text: a first line "lumio-mirror 1", then one line per entry, its four
// fields separated by tabs; a backslash, tab, line feed or carriage return within a path
// is written as "\\", "\t", "\n" or "\r", so that any bytes of a name come back.
std::string FormatMirrorManifest(const std::vector<MirrorEntry>& entries);

// The entries of a list's text; nullopt when it is not such a list, or any line is not a
// whole entry: an output path that is empty, absolute or has an empty, "." or ".."
// part (it would reach outside the root), a source that is not absolute, a size or time
// that is no number, or more than kMostMirrorEntries entries.
std::optional<std::vector<MirrorEntry>> ParseMirrorManifest(std::string_view text);

}  // namespace lumio
