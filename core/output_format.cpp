#include "core/output_format.h"

#include "platform/ascii_case.h"

namespace lumio {

std::string_view OutputExtension(OutputFormat format) {
  return format == OutputFormat::Opus ? ".opus" : ".ogg";
}

std::string OutputNameFor(std::string_view name, OutputFormat format) {
  const std::string_view vorbis = OutputExtension(OutputFormat::Vorbis);
  if (format == OutputFormat::Vorbis || name.size() < vorbis.size() ||
      !SameIgnoringAsciiCase(name.substr(name.size() - vorbis.size()), vorbis)) {
    return std::string(name);
  }
  name.remove_suffix(vorbis.size());
  return std::string(name) + std::string(OutputExtension(format));
}

}  // namespace lumio
