#include "core/decoded_source_reader.h"

// The properties headers use TagLib's macros without including their definitions,
// so taglib.h comes first.
// clang-format off
#include <taglib/taglib.h>
#include <taglib/apeproperties.h>
#include <taglib/fileref.h>
#include <taglib/flacproperties.h>
#include <taglib/mp4properties.h>
#include <taglib/trueaudioproperties.h>
#include <taglib/wavpackproperties.h>
// clang-format on

#include <algorithm>
#include <chrono>
#include <optional>

#include "core/byte_source.h"
#include "core/cover_image.h"
#include "core/embedded_pictures.h"
#include "core/info_line.h"
#include "core/probe_figures.h"
#include "core/property_map_tags.h"
#include "core/tag_byte_stream.h"
#include "platform/program_location.h"
#include "platform/program_output.h"

namespace lumio {

namespace {

constexpr std::chrono::seconds kProbeTimeout{10};
constexpr std::size_t kLongestProbeOutput = 4096;

// The bits a sample of a lossless source has; 16 for lossy ones, which the decoder
// writes as 16-bit WAVE.
int DecodedBits(const TagLib::AudioProperties& properties) {
  int bits = 0;
  if (const auto* flac = dynamic_cast<const TagLib::FLAC::Properties*>(&properties)) {
    bits = flac->bitsPerSample();
  } else if (const auto* wavPack = dynamic_cast<const TagLib::WavPack::Properties*>(&properties)) {
    bits = wavPack->bitsPerSample();
  } else if (const auto* ape = dynamic_cast<const TagLib::APE::Properties*>(&properties)) {
    bits = ape->bitsPerSample();
  } else if (const auto* tta = dynamic_cast<const TagLib::TrueAudio::Properties*>(&properties)) {
    bits = tta->bitsPerSample();
  } else if (const auto* mp4 = dynamic_cast<const TagLib::MP4::Properties*>(&properties);
             mp4 != nullptr && mp4->codec() == TagLib::MP4::Properties::ALAC) {
    bits = mp4->bitsPerSample();
  }
  return bits > 16 && bits <= 32 ? bits : 16;
}

std::optional<SoundFigures> TagLibFigures(const TagLib::AudioProperties* properties) {
  if (properties == nullptr || properties->sampleRate() <= 0 || properties->channels() <= 0 ||
      properties->lengthInMilliseconds() <= 0) {
    return std::nullopt;
  }
  SoundFigures figures;
  figures.sampleRate = static_cast<std::uint32_t>(properties->sampleRate());
  figures.channels = static_cast<std::uint16_t>(properties->channels());
  figures.bits = static_cast<std::uint16_t>(DecodedBits(*properties));
  // A 20-bit sample takes three bytes in the decoded WAVE.
  const std::uint64_t frameBytes = figures.channels * ((figures.bits + 7u) / 8u);
  figures.byteRate = figures.sampleRate * frameBytes;
  figures.dataSize = static_cast<std::uint64_t>(properties->lengthInMilliseconds()) *
                     figures.sampleRate / 1000 * frameBytes;
  return figures;
}

std::optional<SoundFigures> ProbedFigures(const std::string& path) {
  const std::string probe = FindHelperProgram(ProgramFolder(), "ffprobe");
  if (probe.empty()) return std::nullopt;
  // "file:" keeps a name that starts with "-" or looks like a protocol a plain file.
  const std::optional<std::string> output =
      ProgramOutput({probe, "-v", "error", "-select_streams", "a:0", "-show_entries",
                     "stream=sample_rate,channels,bits_per_raw_sample:format=duration", "-of",
                     "default=noprint_wrappers=1", "file:" + path},
                    kProbeTimeout, kLongestProbeOutput);
  return output ? ParseProbeFigures(*output) : std::nullopt;
}

// The fields and the pictures; the picture items TagLib maps to no field are carried
// as pictures, so they are not among what is left out.
SourceTags TagsOf(TagLib::File& file) {
  SourceTags tags = TagsFromPropertyMap(file.properties());
  tags.Carried.Pictures = ListEmbeddedPictures(file);
  if (!tags.Carried.Pictures.empty()) {
    std::erase_if(tags.Carried.LeftOut,
                  [](const std::string& name) { return IsPictureItemName(name); });
  }
  return tags;
}

}  // namespace

bool ReadDecodedSource(const std::string& path, AudioFigures& audio, SourceTags& tags) {
  std::optional<SoundFigures> figures;
  try {
    FileByteSource source(path);
    TagByteStream stream(source, source.Length(), path);
    const TagLib::FileRef file(&stream, true, TagLib::AudioProperties::Accurate);
    if (!file.isNull()) {
      figures = TagLibFigures(file.audioProperties());
      tags = TagsOf(*file.file());
    }
  } catch (const std::exception&) {
    figures.reset();
    tags = SourceTags();
  }
  if (!figures) figures = ProbedFigures(path);
  if (!figures || figures->byteRate == 0 || figures->dataSize >= kLargestDataSize) return false;
  FillAudioFigures(*figures, audio);
  AddFolderCoverWhenNone(path, tags.Carried);
  return true;
}

}  // namespace lumio
