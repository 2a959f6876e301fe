#pragma once

#include <optional>
#include <string>

#include "encode/run/batch_plan.h"
#include "platform/code_page.h"

namespace lumio {

// Finds the decoder when a job of `plan` that is to run needs it, into its `decoderPath`
// (see ResolveDecoderPath); the message that refuses the batch when there is none.
std::optional<std::string> FindDecoder(const std::string& programFolder, CodePage codePage,
                                       BatchPlan& plan);

// The one message that says the decoder is missing, and which package brings it.
std::string DecoderMissingMessage();

}  // namespace lumio
