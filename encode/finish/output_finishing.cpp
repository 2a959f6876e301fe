#include "encode/finish/output_finishing.h"

#include <algorithm>
#include <exception>

#include "encode/child/command_line.h"
#include "encode/finish/carried_tags_writer.h"
#include "encode/finish/comment_fields_writer.h"
#include "encode/finish/output_check_step.h"
#include "encode/finish/replaygain_fields.h"

namespace lumio {

namespace {

bool CarriesTags(const PlannedJob& job, const FinishingOptions& options) {
  const CarriedTags& carried = job.record.Carried;
  return options.carry.fields && (!carried.Fields.empty() || !carried.SeveralValues.empty() ||
                                  (options.carry.pictures && !carried.Pictures.empty()));
}

// The job's tags that were too long for the encoder's command line.
std::vector<CommentField> TagsLeftToWrite(const PlannedJob& job) {
  const FileData& record = job.record;
  return TagsTooLongForArguments(record.Title, record.Artist, record.Album, record.Date,
                                 record.TrackNumber, record.Comment);
}

}  // namespace

bool NeedsFinishing(const PlannedJob& job, const FinishingOptions& options) {
  return CarriesTags(job, options) || DecodesOutputs(options) || !TagsLeftToWrite(job).empty();
}

FinishingResult FinishOutput(const std::string& hiddenPath, const PlannedJob& job,
                             const FinishingOptions& options) {
  try {
    std::string error;
    // Written first, each where the encoder would have written it among its own
    // fields, so that the carried ones follow all six as they do otherwise.
    if (const std::vector<CommentField> tags = TagsLeftToWrite(job);
        !tags.empty() &&
        !PlaceCommentFields(
            hiddenPath, tags,
            options.format == OutputFormat::Opus ? kOpusencFieldOrder : kEncoderFieldOrder,
            error)) {
      return {false, "タグを書き込めません: " + error, nullptr, {}};
    }
    std::vector<std::string> leftOut;
    // A job with nothing to carry keeps the encoder's file exactly as it is.
    if (CarriesTags(job, options) &&
        !WriteCarriedTags(hiddenPath, job.inputPath, job.record.Carried, options.carry,
                          *options.pictureTexts, leftOut, error)) {
      return {false, "引き継ぐタグを書き込めません: " + error, nullptr, {}};
    }
    // Last, so that the check reads the file as it will be named and the ReplayGain
    // fields replace any carried from the source.
    FinishingResult result = CheckAndMeasureOutput(hiddenPath, job, options);
    for (const std::string& picture : leftOut) {
      result.notes.push_back("書き込まれない画像: " + picture);
    }
    if (options.format == OutputFormat::Opus && CarriesTags(job, options) &&
        std::any_of(job.record.Carried.Fields.begin(), job.record.Carried.Fields.end(),
                    [](const CarriedField& field) { return IsReplayGainField(field.Name); })) {
      result.notes.push_back(kReplayGainLeftOffOpusNote);
    }
    return result;
  } catch (const std::exception& fault) {
    // Out of memory for a huge field, say: this job fails, the batch goes on.
    return {false, std::string("出力ファイルを仕上げられません: ") + fault.what(), nullptr, {}};
  }
}

}  // namespace lumio
