// Any bytes as the body of a FLAC CUESHEET block: the parser must stay within the body
// and give only tracks with an INDEX 01, no more than the block can count.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/embedded_cue.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view body(reinterpret_cast<const char*>(data), size);
  const auto tracks = lumio::ParseFlacCueSheet(body);
  if (tracks && (tracks->empty() || tracks->size() > 255)) std::abort();
  return 0;
}
