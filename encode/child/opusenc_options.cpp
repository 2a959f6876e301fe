#include "encode/child/opusenc_options.h"

#include "core/settings_schema.h"

namespace lumio {

std::string OpusOptionText(const SettingsStore& settings) {
  const OpusOptions opus = ReadOpusOptions(settings);
  std::string text;
  if (opus.bitrate >= kLowestOpusBitrate && opus.bitrate <= kHighestOpusBitrate) {
    text = " --bitrate " + std::to_string(opus.bitrate);
  }
  switch (opus.mode) {
    case OpusMode::Vbr:
      return text + " --vbr";
    case OpusMode::ConstrainedVbr:
      return text + " --cvbr";
    case OpusMode::HardCbr:
      return text + " --hard-cbr";
  }
  return text;
}

}  // namespace lumio
