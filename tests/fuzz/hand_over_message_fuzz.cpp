// Any bytes as a hand-over message from another process: the header never announces
// more than the limit; a body that decodes gives at most the limit of paths, none empty
// or too long, and they encode back to a message that decodes to the same paths.
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
  const auto paths = lumio::HandOverPaths(body);
  if (!paths) return 0;
  if (paths->size() > lumio::kHandOverPathLimit) std::abort();
  for (const std::string& path : *paths) {
    if (path.empty() || path.size() > lumio::kHandOverPathBytesLimit) std::abort();
  }
  const std::optional<std::string> again = lumio::EncodeHandOver(*paths);
  if (!again) std::abort();
  const std::string_view againBody = std::string_view(*again).substr(lumio::kHandOverHeaderSize);
  if (againBody.size() > body.size() ||
      lumio::HandOverBodyLength(again->substr(0, lumio::kHandOverHeaderSize)) != againBody.size() ||
      lumio::HandOverPaths(againBody) != paths) {
    std::abort();
  }
  return 0;
}
