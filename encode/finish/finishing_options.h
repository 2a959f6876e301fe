#pragma once

#include <memory>

#include "core/carried_tags.h"
#include "core/output_format.h"
#include "core/settings_schema.h"
#include "encode/finish/picture_texts.h"

namespace lumio {

// What the finishing step does to each output of a batch, as the settings said when the
// batch was checked.
struct FinishingOptions {
  CarryOptions carry;
  ReplayGainMode replayGain = ReplayGainMode::None;
  bool verifyOutputs = false;                  // the output decoded and its length checked
  OutputFormat format = OutputFormat::Vorbis;  // of every output of the batch
  // Shared by the copies of these options, and so by every output of the batch.
  std::shared_ptr<PictureTexts> pictureTexts = std::make_shared<PictureTexts>();
};

}  // namespace lumio
