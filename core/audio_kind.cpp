#include "core/audio_kind.h"

namespace lumio {

namespace {

// Whether `extension` spells `lower` (lower-case ASCII) in any letter case.
bool SameExtension(std::string_view extension, std::string_view lower) {
  if (extension.size() != lower.size()) return false;
  for (std::size_t i = 0; i < lower.size(); ++i) {
    char c = extension[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != lower[i]) return false;
  }
  return true;
}

}  // namespace

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
  if (SameExtension(extension, "wav")) return AudioKind::Wave;
  if (SameExtension(extension, "flac")) return AudioKind::Flac;
  if (SameExtension(extension, "aif") || SameExtension(extension, "aiff") ||
      SameExtension(extension, "aifc")) {
    return AudioKind::Aiff;
  }
  if (SameExtension(extension, "cue")) return AudioKind::CueSheet;
  for (const std::string_view decoded : kDecodedExtensions) {
    if (SameExtension(extension, decoded)) return AudioKind::Decoded;
  }
  return AudioKind::Unsupported;
}

}  // namespace lumio
