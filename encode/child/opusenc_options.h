#pragma once

#include <string>

namespace lumio {

class SettingsStore;

// opusenc's options from Options/OpusBitrate and OpusMode, each beginning with one
// space: " --bitrate 128 --vbr". A bit rate outside what opusenc takes is left out, and
// opusenc then chooses its own.
std::string OpusOptionText(const SettingsStore& settings);

}  // namespace lumio
