#include "encode/finish/album_gain_step.h"

#include <algorithm>
#include <filesystem>
#include <optional>

#include "encode/finish/album_fields.h"
#include "encode/finish/comment_fields_writer.h"
#include "encode/finish/opus_decoder.h"
#include "encode/finish/output_measure.h"
#include "encode/finish/replaygain_fields.h"
#include "encode/finish/temporary_output.h"
#include "encode/ogg/ogg_comment_reader.h"

namespace lumio {

namespace {

// The hidden copies made so far; those not committed are removed when it goes.
class HiddenCopies {
 public:
  ~HiddenCopies() {
    for (auto& [copy, name] : copies_) copy.Discard();
  }
  void Add(TemporaryOutput copy, std::string finalName) {
    copies_.emplace_back(std::move(copy), std::move(finalName));
  }
  std::string CommitAll() {
    std::string failure;
    while (!copies_.empty()) {
      auto [copy, name] = std::move(copies_.front());
      copies_.erase(copies_.begin());
      std::string error;
      if (!copy.Commit(name, error) && failure.empty()) failure = name + ": " + error;
    }
    return failure;
  }

 private:
  std::vector<std::pair<TemporaryOutput, std::string>> copies_;
};

std::string FileNameOf(const std::string& path) { return path.substr(path.rfind('/') + 1); }

// The album pass's fields that the output at `path` holds, from its comment header; none
// when it cannot be read, which its measuring then tells.
AlbumTrackFields HeldFields(const std::string& path, OutputFormat format) {
  std::string error;
  const std::optional<VorbisComment> comment = ReadOggComment(path, error);
  return {FileNameOf(path),
          comment ? AlbumPassFields(comment->Fields, format) : std::vector<CommentField>()};
}

// Each member's meter: its own, or one from decoding its output; empty, with the reason
// in `failure`, when an output cannot be measured.
std::vector<std::shared_ptr<const LoudnessMeter>> MetersOf(const std::vector<AlbumMember>& members,
                                                           std::string& failure) {
  std::vector<std::shared_ptr<const LoudnessMeter>> meters;
  for (const AlbumMember& member : members) {
    if (member.loudness) {
      meters.push_back(member.loudness);
      continue;
    }
    OutputMeasure measure = MeasureOutput(member.outputPath, true);
    if (!measure.stream.decoded) {
      failure = member.outputPath + ": " + measure.stream.error;
      return {};
    }
    if (!measure.loudness) {
      failure = member.outputPath + ": 音量を測れない形式です";
      return {};
    }
    meters.push_back(std::move(measure.loudness));
  }
  return meters;
}

// The fields each member is to hold, in the order they are written.
std::vector<std::vector<CommentField>> WantedFields(
    const std::vector<AlbumMember>& members,
    const std::vector<std::shared_ptr<const LoudnessMeter>>& meters, OutputFormat format) {
  std::vector<const LoudnessMeter*> tracks;
  double albumPeak = 0;
  for (const auto& meter : meters) {
    tracks.push_back(meter.get());
    albumPeak = std::max(albumPeak, meter->SamplePeak());
  }
  const std::vector<CommentField> albumFields =
      ReplayGainFields(AlbumLoudness(tracks), albumPeak, true, format);
  std::vector<std::vector<CommentField>> wanted;
  std::vector<AlbumTrackFields> trackFields;
  for (std::size_t i = 0; i < members.size(); ++i) {
    wanted.push_back(
        ReplayGainFields(meters[i]->IntegratedLoudness(), meters[i]->SamplePeak(), false, format));
    trackFields.push_back({FileNameOf(members[i].outputPath), SortedFields(wanted.back())});
  }
  const CommentField tracksField{kAlbumTracksField, AlbumTracksValue(trackFields)};
  for (std::vector<CommentField>& fields : wanted) {
    fields.insert(fields.end(), albumFields.begin(), albumFields.end());
    fields.push_back(tracksField);
  }
  return wanted;
}

}  // namespace

std::string WriteAlbumGain(const std::vector<AlbumMember>& members) {
  // An output encoded in this run holds its track fields alone; the others are looked
  // at by their headers, so that an album left as it was is not decoded.
  // An album's outputs are all of one batch, and so of one format.
  const OutputFormat format = !members.empty() && IsOggOpusFile(members.front().outputPath)
                                  ? OutputFormat::Opus
                                  : OutputFormat::Vorbis;
  std::vector<AlbumTrackFields> held;
  bool anyEncoded = false;
  for (const AlbumMember& member : members) {
    anyEncoded = anyEncoded || member.loudness != nullptr;
    held.push_back(member.loudness ? AlbumTrackFields{FileNameOf(member.outputPath), {}}
                                   : HeldFields(member.outputPath, format));
  }
  if (!anyEncoded && AlbumFieldsCurrent(held)) return {};

  std::string failure;
  const std::vector<std::shared_ptr<const LoudnessMeter>> meters = MetersOf(members, failure);
  if (!failure.empty()) return failure;
  const std::vector<std::vector<CommentField>> wanted = WantedFields(members, meters, format);

  std::string kept;
  HiddenCopies copies;
  for (std::size_t i = 0; i < members.size(); ++i) {
    // Rewritten with the same fields, an output would only get a new time, and sync
    // tools would copy it again.
    if (SortedFields(wanted[i]) == held[i].fields) continue;
    if (!members[i].keptBy.empty()) {
      if (kept.empty()) kept = members[i].outputPath + ": " + members[i].keptBy;
      continue;
    }
    const std::filesystem::path output(members[i].outputPath);
    std::string error;
    std::optional<TemporaryOutput> copy =
        TemporaryOutput::Reserve(output.parent_path().string() + "/", error);
    if (!copy) return members[i].outputPath + ": " + error;
    const std::string copyPath = copy->Path();
    copies.Add(std::move(*copy), output.filename().string());
    std::error_code copyError;
    std::filesystem::copy_file(output, copyPath, std::filesystem::copy_options::overwrite_existing,
                               copyError);
    if (copyError) return members[i].outputPath + ": " + copyError.message();
    if (!ReplaceCommentFields(copyPath, ReplayGainFieldNames(format), wanted[i], error)) {
      return members[i].outputPath + ": " + error;
    }
  }
  failure = copies.CommitAll();
  return failure.empty() ? kept : failure;
}

}  // namespace lumio
