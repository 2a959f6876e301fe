#pragma once

#include <gtest/gtest.h>
#include <taglib/opusfile.h>
#include <taglib/vorbisfile.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <string>
#include <vector>

namespace lumio::test {

// One comment of an Ogg Vorbis file, split at its first "=".
struct OggComment {
  std::string name;
  std::string value;
  bool operator==(const OggComment&) const = default;
};

// `text` with its ASCII letters in upper case, as field names compare.
inline std::string UpperCase(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

// The comment packet of an Ogg Vorbis file, or of an Ogg Opus file (named ".opus"), as
// TagLib reads it; empty, failing the calling test, when the file is no such file.
inline std::string OggCommentPacket(const std::string& path) {
  const auto packetOf = [&path](auto&& file) {
    EXPECT_TRUE(file.isValid()) << path;
    if (!file.isValid()) return std::string();
    const TagLib::ByteVector packet = file.packet(1);
    return std::string(packet.data(), packet.size());
  };
  if (path.ends_with(".opus")) return packetOf(TagLib::Ogg::Opus::File(path.c_str(), false));
  return packetOf(TagLib::Ogg::Vorbis::File(path.c_str(), false));
}

// Every comment of an Ogg Vorbis or Ogg Opus file with the bytes as stored (names in the
// letter case they were written in, line breaks kept inside their value), in the file's
// order. The packet is taken with TagLib and split here, apart from the program's own
// comment parser, so that a fault there cannot hide itself. A file that is no such file,
// or a packet cut short, fails the calling test.
inline std::vector<OggComment> ReadOggComments(const std::string& path) {
  const std::string bytes = OggCommentPacket(path);
  if (bytes.empty()) return {};
  // "\x03vorbis" or "OpusTags", the vendor's text, the number of comments, then each
  // comment; every length is 32 bits, least significant byte first.
  std::size_t at = bytes.starts_with("OpusTags") ? 8 : 7;
  bool cut = false;
  const auto take = [&](std::size_t count) {
    cut = cut || at > bytes.size() || bytes.size() - at < count;
    const std::string piece = cut ? std::string() : bytes.substr(at, count);
    at += cut ? 0 : count;
    return piece;
  };
  const auto length = [&] {
    const std::string piece = take(4);
    std::uint32_t value = 0;
    for (std::size_t i = piece.size(); i-- > 0;) {
      value = value << 8 | static_cast<unsigned char>(piece[i]);
    }
    return value;
  };
  take(length());
  std::vector<OggComment> comments;
  for (std::uint32_t count = length(); count > 0 && !cut; --count) {
    const std::string comment = take(length());
    const std::size_t equals = comment.find('=');
    comments.push_back({comment.substr(0, equals),
                        equals == std::string::npos ? std::string() : comment.substr(equals + 1)});
  }
  EXPECT_FALSE(cut) << path;
  return cut ? std::vector<OggComment>() : comments;
}

// Every comment as "name=value", sorted: a file's tags whatever their order.
inline std::vector<std::string> SortedOggComments(const std::string& path) {
  std::vector<std::string> lines;
  for (const OggComment& comment : ReadOggComments(path)) {
    lines.push_back(comment.name + "=" + comment.value);
  }
  std::sort(lines.begin(), lines.end());
  return lines;
}

}  // namespace lumio::test
