#include "encode/finish/source_copy.h"

#include "platform/file_contents.h"

namespace lumio {

FinishingResult CopySource(const std::string& hiddenPath, const PlannedJob& job,
                           const FinishingOptions& /*options*/) {
  FinishingResult result;
  std::string error;
  if (!CopyRegularFile(job.inputPath, hiddenPath, error)) {
    result.succeeded = false;
    result.reason = "入力ファイルをコピーできません: " + error;
  }
  return result;
}

}  // namespace lumio
