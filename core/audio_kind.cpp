#include "core/audio_kind.h"

#include "platform/ascii_case.h"

namespace lumio {

AudioKind AudioKindOf(std::string_view path, const PathRules& rules) {
  // Looked at byte by byte, which is safe in both code pages: '.', '/' and ':' never
  // occur inside a multibyte character, and a backslash that does (a Shift-JIS trail
  // byte) can only sit in an extension that is none of ours anyway. This runs once for
  // every file added and every file a folder walk meets.
  const std::size_t dot = path.rfind('.');
  if (dot == std::string_view::npos) return AudioKind::Unsupported;
  const std::string_view extension = path.substr(dot + 1);
  const std::string_view separators = rules.style == PathStyle::Windows ? "\\:" : "/";
  if (extension.find_first_of(separators) != std::string_view::npos) return AudioKind::Unsupported;
  if (SameIgnoringAsciiCase(extension, "wav")) return AudioKind::Wave;
  if (SameIgnoringAsciiCase(extension, "flac")) return AudioKind::Flac;
  if (SameIgnoringAsciiCase(extension, "aif") || SameIgnoringAsciiCase(extension, "aiff") ||
      SameIgnoringAsciiCase(extension, "aifc")) {
    return AudioKind::Aiff;
  }
  if (SameIgnoringAsciiCase(extension, "cue")) return AudioKind::CueSheet;
  for (const std::string_view decoded : kDecodedExtensions) {
    if (SameIgnoringAsciiCase(extension, decoded)) return AudioKind::Decoded;
  }
  return AudioKind::Unsupported;
}

}  // namespace lumio
