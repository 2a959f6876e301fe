#pragma once

#include <cstdint>
#include <functional>

#include "core/byte_source.h"

namespace lumio {

enum class AiffForm { NotAiff, Aiff, Aifc };

// One chunk of an AIFF file: its identifier and where its body lies.
struct AiffChunk {
  char id[4];
  std::uint64_t bodyPosition;
  std::uint32_t size;
};

// The form of the file held by `source`, from its first 12 bytes.
AiffForm ReadAiffForm(ByteSource& source);

// Calls `visit` for each chunk inside the FORM, in file order, until `visit` returns
// false. Bodies are skipped by their declared size, padded to an even length. The walk
// ends at a header that does not lie wholly inside the file or whose identifier is not
// four printable characters (zero bytes or sample data, which would otherwise be walked
// eight bytes at a time). Throws WaveReadError when a read fails.
void ForEachAiffChunk(ByteSource& source, const std::function<bool(const AiffChunk&)>& visit);

}  // namespace lumio
