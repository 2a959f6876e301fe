#include "encode/child/failure_reason.h"

#include <cstdint>
#include <optional>

#include "encode/child/encoder_output_reader.h"
#include "encode/child/encoder_process.h"
#include "platform/file_system.h"

namespace lumio {

namespace {

// Less than this left to write counts as a full disk: the encoder writes in pages, and
// fails as soon as one no longer fits.
constexpr std::uint64_t kNearlyNoSpace = 1 << 20;

}  // namespace

std::string FailureReason(const EncoderExit& exit, const EncoderOutputReader& output,
                          const std::string& outputFolder) {
  const std::optional<std::uint64_t> free = FreeBytesAt(outputFolder);
  if (free && *free < kNearlyNoSpace) {
    // Only an error line: the last line may be the statistics the encoder prints anyway.
    const std::string& said = output.LastErrorLine();
    return "出力先の空き容量が足りません" + (said.empty() ? std::string() : ": " + said);
  }
  // The decoder's failure is the cause unless it only lost its reader, an encoder that
  // failed first.
  const bool encoderFailed = exit.signalled || exit.exitCode != 0;
  if (exit.decoder && exit.decoder->failed && (!exit.decoder->brokenPipe || !encoderFailed)) {
    return exit.decoder->reason;
  }
  if (exit.signalled) {
    // Not a stop the user asked for (that needs no reason): the signal is the cause, and
    // an error line said before it the detail.
    const std::string& said = output.LastErrorLine();
    return "エンコーダが異常終了しました (シグナル " + std::to_string(exit.signal) + ")" +
           (said.empty() ? std::string() : ": " + said);
  }
  if (!output.LastMessageLine().empty()) {
    return output.LastMessageLine();
  }
  return "エンコーダが終了コード " + std::to_string(exit.exitCode) + " で終了しました";
}

}  // namespace lumio
