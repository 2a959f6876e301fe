#include "encode/finish/output_check_step.h"

#include "encode/finish/comment_fields_writer.h"
#include "encode/finish/output_length_check.h"
#include "encode/finish/output_measure.h"

namespace lumio {

bool DecodesOutputs(const FinishingOptions& options) {
  return options.verifyOutputs || options.replayGain != ReplayGainMode::None;
}

FinishingResult CheckAndMeasureOutput(const std::string& hiddenPath, const PlannedJob& job,
                                      const FinishingOptions& options) {
  FinishingResult result;
  if (!DecodesOutputs(options)) return result;
  const bool loudness = options.replayGain != ReplayGainMode::None;
  OutputMeasure measure = MeasureOutput(hiddenPath, loudness);
  if (!measure.stream.decoded) {
    result.succeeded = false;
    result.reason = measure.stream.error;
    return result;
  }
  if (options.verifyOutputs) {
    if (std::optional<std::string> mismatch =
            OutputLengthMismatch(job.record.Audio, job.decoderWrittenUs, measure.stream.frames,
                                 measure.stream.sampleRate)) {
      result.succeeded = false;
      result.reason = std::move(*mismatch);
      return result;
    }
  }
  if (loudness) {
    // A stream that cannot be measured gets no fields: old ones would not be its own.
    const std::vector<CommentField> fields =
        measure.loudness ? ReplayGainFields(measure.loudness->IntegratedLoudness(),
                                            measure.loudness->SamplePeak(), false, options.format)
                         : std::vector<CommentField>();
    std::string error;
    if (!ReplaceCommentFields(hiddenPath, ReplayGainFieldNames(options.format), fields, error)) {
      result.succeeded = false;
      result.reason = std::move(error);
      return result;
    }
    result.loudness = std::move(measure.loudness);
  }
  return result;
}

}  // namespace lumio
