#include "encode/output_finishing.h"

#include <exception>

#include "encode/carried_tags_writer.h"
#include "encode/output_check_step.h"

namespace lumio {

FinishingResult FinishOutput(const std::string& hiddenPath, const PlannedJob& job,
                             const FinishingOptions& options) {
  try {
    std::string error;
    const CarriedTags& carried = job.record.Carried;
    // A job with nothing to carry keeps the encoder's file exactly as it is.
    const bool carries = !carried.Fields.empty() || !carried.SeveralValues.empty() ||
                         (options.carry.pictures && !carried.Pictures.empty());
    if (options.carry.fields && carries &&
        !WriteCarriedTags(hiddenPath, job.inputPath, job.record.Carried, options.carry, error)) {
      return {false, "引き継ぐタグを書き込めません: " + error, nullptr};
    }
    // Last, so that the check reads the file as it will be named and the ReplayGain
    // fields replace any carried from the source.
    return CheckAndMeasureOutput(hiddenPath, job, options);
  } catch (const std::exception& fault) {
    // Out of memory for a huge field, say: this job fails, the batch goes on.
    return {false, std::string("出力ファイルを仕上げられません: ") + fault.what(), nullptr};
  }
}

}  // namespace lumio
