#include "core/info_line.h"

#include <string>

namespace lumio {

namespace {

const char* ChannelWord(std::uint16_t channels) {
  switch (channels) {
    case 1:
      return "モノラル";
    case 2:
      return "ステレオ";
    default:
      return "";
  }
}

}  // namespace

void FillAudioFigures(const SoundFigures& figures, AudioFigures& audio) {
  const std::uint64_t dataSize = figures.dataSize;
  const std::uint64_t byteRate = figures.byteRate;
  const std::uint64_t minutes = dataSize / (60 * byteRate);
  const std::uint64_t seconds = (dataSize - 60 * byteRate * minutes) / byteRate;
  const std::uint64_t kilobytes = dataSize / 1024;
  // Data sizes stay below 2^44 (the largest FLAC stream), so the product stays exact and
  // integer division gives the truncated milliseconds.
  audio.PlayTime = static_cast<std::int64_t>(dataSize * 1000 / byteRate);
  audio.SampleFrames = figures.frameBytes == 0 ? 0 : dataSize / figures.frameBytes;
  audio.SampleRate = figures.sampleRate;
  audio.Bits = figures.bits;
  audio.Channels = figures.channels;
  // Built in one buffer: this runs once for every file added.
  std::string& line = audio.InfoText;
  line.clear();
  line.reserve(96);
  line += "データ部 ";
  line += std::to_string(kilobytes);
  line += " KB  ";
  line += std::to_string(figures.bits);
  line += " bit  ";
  line += std::to_string(figures.sampleRate);
  line += " Hz  ";
  line += ChannelWord(figures.channels);
  line += "  再生時間 ";
  line += std::to_string(minutes);
  line += seconds < 10 ? ":0" : ":";
  line += std::to_string(seconds);
}

}  // namespace lumio
