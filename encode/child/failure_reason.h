#pragma once

#include <string>

namespace lumio {

struct EncoderExit;
class EncoderOutputReader;

// Why an encoder that ran ended without success (a non-zero exit code or a signal), for
// the report's "理由 ：" line; never empty. A folder that has (almost) no space left is
// named first, with the encoder's last error line when it said one; then the failure of
// the decoder that fed it, unless the decoder only lost its reader; then the signal that
// ended an encoder that crashed, with its last error line; then the encoder's own last
// line that is not progress, whatever it says; then the exit code when it said nothing.
std::string FailureReason(const EncoderExit& exit, const EncoderOutputReader& output,
                          const std::string& outputFolder);

}  // namespace lumio
