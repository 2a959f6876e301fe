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
  // date and not encoded again, which is measured here when its album changed.
  std::shared_ptr<const LoudnessMeter> loudness;
  // Why it must not be replaced (PlannedJob::keptBy); empty when it may be.
  std::string keptBy;
};

// Brings the REPLAYGAIN_ALBUM_GAIN and _PEAK fields (and each output's own track fields,
// and the album's tracks field) of every output of an album up to date: the gain of all
// tracks heard together, the peak the highest track peak. An album of outputs that were
// all up to date is first looked at by their comment headers alone, and left without
// decoding when its fields are current. Otherwise every output is measured (those that
// have no meter are decoded), and each output that would change is copied to a hidden
// file beside it and the fields written there; only when every copy is ready do they take
// the outputs' names, so that a failure leaves every output as it was. An output that
// already holds the fields it would get is never rewritten, and one that must not be
// replaced is left as it is. Returns the reason of a failure, or the output that kept
// the album from being written with its reason; empty on success. Runs on a worker
// thread: it reads and decodes the outputs.
std::string WriteAlbumGain(const std::vector<AlbumMember>& members);

}  // namespace lumio
