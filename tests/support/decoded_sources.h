#pragma once

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "tests/support/run_tool.h"

namespace lumio::test {

// The tags that every decoded fixture carries.
inline constexpr const char* kFixtureTitle = "夜明けの歌";
inline constexpr const char* kFixtureArtist = "Trio";
inline constexpr const char* kFixtureAlbum = "Best";
inline constexpr const char* kFixtureDate = "2001";
inline constexpr const char* kFixtureTrack = "3";
inline constexpr const char* kFixtureGenre = "ジャズ";

// A format that goes through the decoder, as ffmpeg makes it.
struct DecodedFormat {
  const char* extension;
  std::vector<std::string> codec;  // ffmpeg's output options
  int rate;
  int bits;     // of the decoded WAVE as the information line gives it
  bool tagged;  // ffmpeg writes tags that TagLib reads
};

inline const std::vector<DecodedFormat>& DecodedFormats() {
  static const std::vector<DecodedFormat> formats = {
      {"mp3", {"-c:a", "libmp3lame", "-b:a", "128k"}, 44100, 16, true},
      {"m4a", {"-c:a", "aac", "-b:a", "128k"}, 44100, 16, true},
      {"m4a", {"-c:a", "alac", "-sample_fmt", "s32p"}, 44100, 24, true},  // 24-bit ALAC
      {"opus", {"-c:a", "libopus", "-b:a", "96k"}, 48000, 16, true},
      {"wv", {"-c:a", "wavpack", "-sample_fmt", "s16p"}, 44100, 16, true},
      {"wv", {"-c:a", "wavpack", "-sample_fmt", "fltp"}, 44100, 32, true},  // float WavPack
      {"ogg", {"-c:a", "libvorbis", "-q:a", "3"}, 44100, 16, true},
      // Raw ADTS carries no tags and TagLib cannot read it: ffprobe tells its figures.
      {"aac", {"-c:a", "aac", "-b:a", "128k"}, 44100, 16, false},
  };
  return formats;
}

// Writes `path` with ffmpeg: `seconds` of a stereo tone at the format's rate, tagged.
inline bool MakeDecodedSource(const std::string& path, const DecodedFormat& format,
                              double seconds) {
  std::vector<std::string> arguments = {
      "ffmpeg",
      "-nostdin",
      "-loglevel",
      "error",
      "-y",
      "-f",
      "lavfi",
      "-i",
      "sine=frequency=440:sample_rate=" + std::to_string(format.rate) +
          ":duration=" + std::to_string(seconds),
      "-ac",
      "2",
      "-metadata",
      std::string("title=") + kFixtureTitle,
      "-metadata",
      std::string("artist=") + kFixtureArtist,
      "-metadata",
      std::string("album=") + kFixtureAlbum,
      "-metadata",
      std::string("date=") + kFixtureDate,
      "-metadata",
      std::string("track=") + kFixtureTrack,
      "-metadata",
      std::string("genre=") + kFixtureGenre};
  arguments.insert(arguments.end(), format.codec.begin(), format.codec.end());
  arguments.push_back(path);
  return RunTool(arguments);
}

// Writes a DSF file (which ffmpeg reads but cannot write) of `seconds` of stereo DSD64
// silence.
inline bool WriteSilentDsf(const std::string& path, double seconds) {
  constexpr std::uint32_t kRate = 2822400;
  constexpr std::uint32_t kBlock = 4096;  // bytes a channel, interleaved block by block
  const auto samples = static_cast<std::uint64_t>(kRate * seconds);
  const std::uint64_t blocks = ((samples + 7) / 8 + kBlock - 1) / kBlock;
  const auto le = [](std::uint64_t value, int bytes) {
    std::string text;
    for (int i = 0; i < bytes; ++i) text += static_cast<char>((value >> (8 * i)) & 0xFF);
    return text;
  };
  const std::string data(blocks * kBlock * 2, '\x69');  // the DSD idle pattern
  const std::string format = "fmt " + le(52, 8) + le(1, 4) + le(0, 4) + le(2, 4) + le(2, 4) +
                             le(kRate, 4) + le(1, 4) + le(samples, 8) + le(kBlock, 4) + le(0, 4);
  const std::string body = "data" + le(12 + data.size(), 8) + data;
  const std::string head = "DSD " + le(28, 8) + le(28 + format.size() + body.size(), 8) + le(0, 8);
  std::ofstream file(path, std::ios::binary);
  file << head << format << body;
  return static_cast<bool>(file.flush());
}

}  // namespace lumio::test
