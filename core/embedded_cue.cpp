#include "core/embedded_cue.h"

#include <algorithm>

#include "core/cue_sheet.h"
#include "core/cue_source.h"
#include "core/flac_reader.h"

namespace lumio {

namespace {

constexpr unsigned kCueSheetType = 5;
// Catalog number, lead-in, CD flag, reserved bytes and the track count.
constexpr std::size_t kSheetHeaderSize = 128 + 8 + 1 + 258 + 1;
// Offset, number, ISRC, flags, reserved bytes and the index count.
constexpr std::size_t kTrackHeaderSize = 8 + 1 + 12 + 1 + 13 + 1;
constexpr std::size_t kIndexSize = 8 + 1 + 3;
constexpr int kCdLeadOut = 170;
constexpr int kLeadOut = 255;
// 255 tracks of 255 indexes each stay below this.
constexpr std::uint32_t kLargestCueBlock = 1 << 20;

std::uint64_t Be64(std::string_view bytes, std::size_t at) {
  std::uint64_t value = 0;
  for (std::size_t i = 0; i < 8; ++i)
    value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
  return value;
}

unsigned Byte(std::string_view bytes, std::size_t at) {
  return static_cast<unsigned char>(bytes[at]);
}

bool IsCueSheetName(std::string_view name) {
  constexpr std::string_view kName = "CUESHEET";
  return std::equal(name.begin(), name.end(), kName.begin(), kName.end(),
                    [](char a, char b) { return (a >= 'a' && a <= 'z' ? a - 32 : a) == b; });
}

std::optional<std::string> ReadCueSheetBlock(ByteSource& source) {
  std::optional<FlacBlock> found;
  ForEachFlacBlock(source, [&](const FlacBlock& block) {
    if (block.type == kCueSheetType) found = block;
    return !found;
  });
  if (!found || found->size > kLargestCueBlock) return std::nullopt;
  std::string body(found->size, '\0');
  if (source.ReadAt(found->bodyPosition, body.data(), body.size()) != body.size()) {
    return std::nullopt;
  }
  return body;
}

// The tracks of the CUESHEET comment, positions turned into sample frames; its FILE
// lines are ignored, as every track is of this file.
// `named` gets the sheet's track for each.
std::optional<std::vector<EmbeddedCueTrack>> CommentTracks(const CueSheet& sheet,
                                                           std::uint32_t sampleRate,
                                                           std::vector<const CueTrack*>& named) {
  std::vector<EmbeddedCueTrack> tracks;
  for (const CueTrack& track : sheet.tracks) {
    if (!track.start) {
      if (track.audio) return std::nullopt;
      continue;
    }
    tracks.push_back({track.number, track.audio, CdFramesToSamples(*track.start, sampleRate)});
    named.push_back(&track);
  }
  return tracks;
}

// Tracks of a CUESHEET block take the image's own disc fields.
SourceTags BlockTrackTags(const SourceTags& image, int number) {
  SourceTags tags;
  tags.Title = TwoDigitTrackNumber(number);
  tags.Artist = image.Artist;
  tags.Album = image.Album;
  tags.Date = image.Date;
  for (const CarriedField& field : image.Carried.Fields) {
    if (field.Name == "GENRE") tags.Carried.Fields.push_back(field);
  }
  return tags;
}

}  // namespace

std::optional<std::vector<EmbeddedCueTrack>> ParseFlacCueSheet(std::string_view body) {
  if (body.size() < kSheetHeaderSize) return std::nullopt;
  const unsigned count = Byte(body, kSheetHeaderSize - 1);
  std::vector<EmbeddedCueTrack> tracks;
  std::size_t at = kSheetHeaderSize;
  for (unsigned t = 0; t < count; ++t) {
    if (body.size() - at < kTrackHeaderSize) return std::nullopt;
    const std::uint64_t offset = Be64(body, at);
    const int number = static_cast<int>(Byte(body, at + 8));
    const bool audio = (Byte(body, at + 21) & 0x80) == 0;
    const unsigned indexes = Byte(body, at + kTrackHeaderSize - 1);
    at += kTrackHeaderSize;
    if ((body.size() - at) / kIndexSize < indexes) return std::nullopt;
    std::optional<std::uint64_t> start;
    for (unsigned i = 0; i < indexes; ++i, at += kIndexSize) {
      const std::uint64_t relative = Be64(body, at);
      if (Byte(body, at + 8) == 1 && relative <= UINT64_MAX - offset) start = offset + relative;
    }
    if (number == kCdLeadOut || number == kLeadOut) break;
    if (!start) return std::nullopt;
    tracks.push_back({number, audio, *start});
  }
  if (tracks.empty()) return std::nullopt;
  return tracks;
}

void SplitEmbeddedCue(ByteSource& source, const std::string& path, const PathRules& rules,
                      SourceReading& reading) {
  const AudioFigures& image = reading.audio;
  if (image.SampleRate == 0) return;
  std::optional<std::vector<EmbeddedCueTrack>> tracks;
  bool fromBlock = false;
  if (std::optional<std::string> body = ReadCueSheetBlock(source)) {
    tracks = ParseFlacCueSheet(*body);
    fromBlock = true;
  }
  std::optional<CueSheet> sheet;
  std::vector<const CueTrack*> named;
  if (!fromBlock) {
    for (const CarriedField& field : reading.tags.Carried.Fields) {
      if (IsCueSheetName(field.Name)) sheet = ParseCueSheet(field.Value);
      if (sheet) break;
    }
    // A sheet read only in part would run its last track on over the rest.
    if (sheet && !sheet->overLimit) tracks = CommentTracks(*sheet, image.SampleRate, named);
  }
  if (!tracks || tracks->empty()) return;
  // Positions out of order or past the end cannot be cut: the file stays whole.
  for (std::size_t i = 0; i < tracks->size(); ++i) {
    const std::uint64_t start = (*tracks)[i].start;
    if (i > 0 && start <= (*tracks)[i - 1].start) return;
    if (image.SampleFrames > 0 && start >= image.SampleFrames) return;
  }
  std::vector<TrackSource> entries;
  for (std::size_t i = 0; i < tracks->size(); ++i) {
    const EmbeddedCueTrack& track = (*tracks)[i];
    if (!track.audio) continue;
    // The first track starts at the file's beginning, so that no sample is lost.
    const std::uint64_t first = i == 0 ? 0 : track.start;
    const std::uint64_t end = i + 1 < tracks->size() ? (*tracks)[i + 1].start : 0;
    SourceTags tags =
        fromBlock ? BlockTrackTags(reading.tags, track.number) : CueTrackTags(*sheet, *named[i]);
    entries.push_back(
        {path, TrackEntry(path, image, TrackPlan{track.number, first, end, std::move(tags)}, path,
                          rules)});
  }
  if (entries.empty()) return;
  reading.tracks = std::move(entries);
}

}  // namespace lumio
