// Any bytes as a hand-over message from another process: the header never announces
// more than the limit, and a body that decodes encodes back to the same header and
// body.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/hand_over_message.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::string_view header = bytes.substr(0, lumio::kHandOverHeaderSize);
  const std::string_view body = bytes.substr(header.size());
  const std::optional<std::size_t> length = lumio::HandOverBodyLength(header);
  if (length && *length > lumio::kHandOverBodyLimit) std::abort();
  if (const auto paths = lumio::HandOverPaths(body)) {
    const std::optional<std::string> again = lumio::EncodeHandOver(*paths);
    if (!again || again->substr(lumio::kHandOverHeaderSize) != body) std::abort();
    if (lumio::HandOverBodyLength(again->substr(0, lumio::kHandOverHeaderSize)) != body.size()) {
      std::abort();
    }
  }
  return 0;
}
