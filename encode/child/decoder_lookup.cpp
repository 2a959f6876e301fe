#include "encode/child/decoder_lookup.h"

#include <algorithm>

#include "encode/child/decoder_command.h"

namespace lumio {

std::optional<std::string> FindDecoder(const std::string& programFolder, CodePage codePage,
                                       BatchPlan& plan) {
  const auto decoded = std::find_if(plan.jobs.begin(), plan.jobs.end(), [&](const PlannedJob& job) {
    return !job.skip && !job.copy && NeedsDecoder(job.inputPath, job.record, codePage);
  });
  if (decoded == plan.jobs.end()) return std::nullopt;
  plan.decoderPath = ResolveDecoderPath(programFolder);
  if (!plan.decoderPath.empty()) return std::nullopt;
  return DecoderMissingMessage() + "\n\n" + decoded->inputPath;
}

std::string DecoderMissingMessage() {
  return "MP3・M4A・Opus などのファイルには ffmpeg が必要です\n"
         "（Debian パッケージ ffmpeg をインストールして下さい）";
}

}  // namespace lumio
