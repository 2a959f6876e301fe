#pragma once

#include <memory>
#include <string>
#include <vector>

#include "encode/finish/loudness_meter.h"

namespace lumio {

// One output of an album whose album fields are to be written.
struct AlbumMember {
  std::string outputPath;
  // Its loudness as measured when it was finished; null for an output that was up to
  // date and not encoded again, which is measured here.
  std::shared_ptr<const LoudnessMeter> loudness;
};

// Writes REPLAYGAIN_ALBUM_GAIN and _PEAK (and each output's own track fields) into every
// output of an album: the gain of all tracks heard together, the peak the highest track
// peak. Each output is copied to a hidden file beside it and the fields written there;
// only when every copy is ready do they take the outputs' names, so that a failure
// leaves every output as it was. Returns the reason of a failure, empty on success. Runs
// on a worker thread: it decodes the outputs that have no meter.
std::string WriteAlbumGain(const std::vector<AlbumMember>& members);

}  // namespace lumio
