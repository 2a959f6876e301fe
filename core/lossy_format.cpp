#include "core/lossy_format.h"

#include <algorithm>
#include <array>

#include "platform/ascii_case.h"
#include "platform/file_contents.h"

namespace lumio {

namespace {

// Enough for an Ogg page header with its segment table and the start of its packet, or
// an ID3 header and an MPEG frame header.
constexpr std::size_t kBytesLookedAt = 512;
constexpr std::size_t kOggHeaderBytes = 27;

bool StartsWith(std::string_view bytes, std::string_view prefix) {
  return bytes.substr(0, prefix.size()) == prefix;
}

// The first packet of an Ogg stream, which names its codec: it starts after the page
// header and its segment table.
std::string_view FirstOggPacket(std::string_view bytes) {
  if (bytes.size() < kOggHeaderBytes || !StartsWith(bytes, "OggS")) return {};
  const std::size_t segments = static_cast<unsigned char>(bytes[kOggHeaderBytes - 1]);
  if (bytes.size() < kOggHeaderBytes + segments) return {};
  return bytes.substr(kOggHeaderBytes + segments);
}

// An MPEG audio frame header of layer III (MP3): 11 sync bits, a version, layer bits 01.
bool IsMp3FrameHeader(std::string_view bytes) {
  if (bytes.size() < 4) return false;
  const auto first = static_cast<unsigned char>(bytes[0]);
  const auto second = static_cast<unsigned char>(bytes[1]);
  return first == 0xFF && (second & 0xE0) == 0xE0 && (second & 0x06) == 0x02 &&
         (second & 0x18) != 0x08;
}

// An ADTS frame header: 12 sync bits and layer bits 00.
bool IsAdtsHeader(std::string_view bytes) {
  if (bytes.size() < 7) return false;
  return static_cast<unsigned char>(bytes[0]) == 0xFF &&
         (static_cast<unsigned char>(bytes[1]) & 0xF6) == 0xF0;
}

// An ID3v2 tag header: "ID3", a version below 0xFF, flags, four 7-bit size bytes.
bool IsId3Header(std::string_view bytes) {
  if (bytes.size() < 10 || !StartsWith(bytes, "ID3")) return false;
  if (static_cast<unsigned char>(bytes[3]) == 0xFF) return false;
  for (std::size_t i = 6; i < 10; ++i) {
    if ((static_cast<unsigned char>(bytes[i]) & 0x80) != 0) return false;
  }
  return true;
}

// Whether the name's extension claims the format the bytes show: a file is copied only
// as what both say it is.
bool NameClaims(std::string_view path, LossyFormat format) {
  struct Claim {
    std::string_view extension;
    LossyFormat format;
  };
  constexpr std::array claims{
      Claim{"ogg", LossyFormat::OggVorbis}, Claim{"oga", LossyFormat::OggVorbis},
      Claim{"ogg", LossyFormat::OggOpus},   Claim{"opus", LossyFormat::OggOpus},
      Claim{"mp3", LossyFormat::Mp3},       Claim{"aac", LossyFormat::AdtsAac}};
  const std::size_t dot = path.rfind('.');
  if (dot == std::string_view::npos || path.find('/', dot) != std::string_view::npos) return false;
  const std::string_view extension = path.substr(dot + 1);
  return std::any_of(claims.begin(), claims.end(), [&](const Claim& claim) {
    return claim.format == format && SameIgnoringAsciiCase(extension, claim.extension);
  });
}

bool Takes(LossyCopy copy, LossyFormat format) {
  if (format == LossyFormat::None || copy == LossyCopy::Off) return false;
  return copy == LossyCopy::AllLossy || format == LossyFormat::OggVorbis;
}

}  // namespace

LossyFormat LossyFormatOf(std::string_view firstBytes) {
  const std::string_view packet = FirstOggPacket(firstBytes);
  if (StartsWith(packet, std::string_view("\x01vorbis", 7))) return LossyFormat::OggVorbis;
  if (StartsWith(packet, "OpusHead")) return LossyFormat::OggOpus;
  // An MP3 that opens with its tag: the tag's size may well exceed what is looked at.
  if (IsId3Header(firstBytes) || IsMp3FrameHeader(firstBytes)) return LossyFormat::Mp3;
  if (IsAdtsHeader(firstBytes)) return LossyFormat::AdtsAac;
  return LossyFormat::None;
}

bool IsCopiedAsItIs(const std::string& path, LossyCopy copy) {
  if (copy == LossyCopy::Off) return false;
  const FileContents contents = ReadRegularFile(path, kBytesLookedAt);
  if (contents.outcome != ReadOutcome::Read) return false;
  const LossyFormat format = LossyFormatOf(contents.bytes);
  return Takes(copy, format) && NameClaims(path, format);
}

}  // namespace lumio
