// Any bytes as the list of a kept tree's outputs: a list that parses holds no more than
// the limit of entries, none whose output path could reach outside the root, and it
// formats back to a text that parses to the same entries.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/mirror_manifest.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const auto entries = lumio::ParseMirrorManifest(bytes);
  if (!entries) return 0;
  if (entries->size() > lumio::kMostMirrorEntries) std::abort();
  for (const lumio::MirrorEntry& entry : *entries) {
    const std::string& output = entry.output;
    const std::string parts = "/" + output + "/";
    if (output.empty() || output.front() == '/' || parts.find("/../") != std::string::npos ||
        entry.source.front() != '/') {
      std::abort();
    }
  }
  if (lumio::ParseMirrorManifest(lumio::FormatMirrorManifest(*entries)) != entries) std::abort();
  return 0;
}
