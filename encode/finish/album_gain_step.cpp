#include "encode/finish/album_gain_step.h"

#include <algorithm>
#include <filesystem>
#include <optional>

#include "encode/finish/comment_fields_writer.h"
#include "encode/finish/opus_decoder.h"
#include "encode/finish/output_measure.h"
#include "encode/finish/replaygain_fields.h"
#include "encode/finish/temporary_output.h"

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

}  // namespace

std::string WriteAlbumGain(const std::vector<AlbumMember>& members) {
  std::vector<std::shared_ptr<const LoudnessMeter>> meters;
  for (const AlbumMember& member : members) {
    if (member.loudness) {
      meters.push_back(member.loudness);
      continue;
    }
    OutputMeasure measure = MeasureOutput(member.outputPath, true);
    if (!measure.stream.decoded) return member.outputPath + ": " + measure.stream.error;
    if (!measure.loudness) return member.outputPath + ": 音量を測れない形式です";
    meters.push_back(std::move(measure.loudness));
  }
  std::vector<const LoudnessMeter*> tracks;
  double albumPeak = 0;
  for (const auto& meter : meters) {
    tracks.push_back(meter.get());
    albumPeak = std::max(albumPeak, meter->SamplePeak());
  }
  // An album's outputs are all of one batch, and so of one format.
  const OutputFormat format = !members.empty() && IsOggOpusFile(members.front().outputPath)
                                  ? OutputFormat::Opus
                                  : OutputFormat::Vorbis;
  const std::vector<CommentField> albumFields =
      ReplayGainFields(AlbumLoudness(tracks), albumPeak, true, format);

  HiddenCopies copies;
  for (std::size_t i = 0; i < members.size(); ++i) {
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
    std::vector<CommentField> fields =
        ReplayGainFields(meters[i]->IntegratedLoudness(), meters[i]->SamplePeak(), false, format);
    fields.insert(fields.end(), albumFields.begin(), albumFields.end());
    if (!ReplaceCommentFields(copyPath, ReplayGainFieldNames(format), fields, error)) {
      return members[i].outputPath + ": " + error;
    }
  }
  return copies.CommitAll();
}

}  // namespace lumio
