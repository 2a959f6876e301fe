#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumio {

// The fields a CUE sheet gives a disc or one of its tracks, as UTF-8.
struct CueFields {
  std::string title;      // TITLE
  std::string performer;  // PERFORMER
  std::string date;       // REM DATE
  std::string genre;      // REM GENRE
  std::string comment;    // REM COMMENT
};

// One FILE line: the image file's name as written (relative to the sheet's folder, or
// absolute) and its type word (WAVE, FLAC, BINARY…), which may be empty.
struct CueFile {
  std::string name;
  std::string type;
};

// One TRACK: its number, whether it is an audio track, and where its INDEX 01 lies: in
// `files[file]`, at `start` CD frames (1/75 s) from that file's beginning.
struct CueTrack {
  int number = 0;
  bool audio = true;
  std::size_t file = 0;
  std::optional<std::uint64_t> start;  // nullopt: the track has no usable INDEX 01
  CueFields fields;
};

struct CueSheet {
  CueFields disc;
  std::vector<CueFile> files;
  std::vector<CueTrack> tracks;  // in sheet order
  // Reading stopped at kMostCueTracks tracks or kMostCueFiles files: what followed is
  // missing, and the last track read would run on over it.
  bool overLimit = false;
};

// The largest sheet read, and the most tracks and files taken from one: a real sheet
// has at most 99 tracks in a few kilobytes.
inline constexpr std::size_t kLargestCueSheet = 1 << 20;
inline constexpr std::size_t kMostCueTracks = 999;
inline constexpr std::size_t kMostCueFiles = 999;

// Reads CUE sheet text: UTF-8 with or without a byte-order mark, or CP932 when it is not
// valid UTF-8 (the same decision as for RIFF INFO text); lines end in CR, LF or CR LF.
// Commands are FILE, TRACK, INDEX, TITLE, PERFORMER and REM DATE/GENRE/COMMENT, at disc
// level before the first TRACK and at track level after it; everything else, and a line
// whose values cannot be read, is ignored. Reading stops at a track or file beyond
// kMostCueTracks tracks or kMostCueFiles files and marks the sheet `overLimit`. nullopt
// when the text is larger than kLargestCueSheet.
std::optional<CueSheet> ParseCueSheet(std::string_view bytes);

// A CUE position "mm:ss:ff" in CD frames: seconds below 60, frames below 75, minutes of
// up to four digits.
std::optional<std::uint64_t> ParseCueTime(std::string_view text);

// The first sample frame at `cdFrames` CD frames into a file of `sampleRate` frames a
// second: exact for every rate that 75 divides (44.1, 48, 88.2, 96 kHz…).
inline std::uint64_t CdFramesToSamples(std::uint64_t cdFrames, std::uint32_t sampleRate) {
  return cdFrames * sampleRate / 75;
}

}  // namespace lumio
