#include "core/mirror_manifest.h"

#include <algorithm>
#include <charconv>

namespace lumio {

namespace {

constexpr std::string_view kFirstLine = "lumio-mirror 1";
constexpr std::size_t kFields = 4;

void AppendEscaped(std::string& text, std::string_view path) {
  for (const char c : path) {
    switch (c) {
      case '\\':
        text += "\\\\";
        break;
      case '\t':
        text += "\\t";
        break;
      case '\n':
        text += "\\n";
        break;
      case '\r':
        text += "\\r";
        break;
      default:
        text += c;
    }
  }
}

std::optional<std::string> Unescaped(std::string_view field) {
  std::string path;
  path.reserve(field.size());
  for (std::size_t i = 0; i < field.size(); ++i) {
    if (field[i] != '\\') {
      path += field[i];
      continue;
    }
    if (++i == field.size()) return std::nullopt;
    switch (field[i]) {
      case '\\':
        path += '\\';
        break;
      case 't':
        path += '\t';
        break;
      case 'n':
        path += '\n';
        break;
      case 'r':
        path += '\r';
        break;
      default:
        return std::nullopt;
    }
  }
  return path;
}

std::optional<std::int64_t> Number(std::string_view field) {
  std::int64_t value = 0;
  const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
  if (field.empty() || error != std::errc() || end != field.data() + field.size() || value < 0) {
    return std::nullopt;
  }
  return value;
}

// A path below the root that stays below it, part by part.
bool StaysInsideRoot(std::string_view path) {
  if (path.empty() || path.front() == '/') return false;
  std::size_t start = 0;
  while (start <= path.size()) {
    const std::size_t end = std::min(path.find('/', start), path.size());
    const std::string_view part = path.substr(start, end - start);
    if (part.empty() || part == "." || part == "..") return false;
    start = end + 1;
  }
  return true;
}

std::optional<MirrorEntry> ParseEntry(std::string_view line) {
  std::string_view fields[kFields];
  for (std::size_t i = 0; i < kFields; ++i) {
    const std::size_t tab = i + 1 < kFields ? line.find('\t') : line.size();
    if (tab == std::string_view::npos) return std::nullopt;
    fields[i] = line.substr(0, tab);
    line.remove_prefix(tab == line.size() ? tab : tab + 1);
  }
  std::optional<std::string> output = Unescaped(fields[0]);
  std::optional<std::string> source = Unescaped(fields[1]);
  const std::optional<std::int64_t> size = Number(fields[2]);
  const std::optional<std::int64_t> modified = Number(fields[3]);
  if (!output || !source || !size || !modified || !StaysInsideRoot(*output) || source->empty() ||
      source->front() != '/') {
    return std::nullopt;
  }
  return MirrorEntry{std::move(*output), std::move(*source), *size, *modified};
}

}  // namespace

std::string FormatMirrorManifest(const std::vector<MirrorEntry>& entries) {
  std::string text(kFirstLine);
  text += '\n';
  for (const MirrorEntry& entry : entries) {
    AppendEscaped(text, entry.output);
    text += '\t';
    AppendEscaped(text, entry.source);
    text += '\t' + std::to_string(entry.size) + '\t' + std::to_string(entry.modifiedNs) + '\n';
  }
  return text;
}

std::optional<std::vector<MirrorEntry>> ParseMirrorManifest(std::string_view text) {
  if (text.size() > kLongestMirrorManifest) return std::nullopt;
  const std::size_t firstEnd = text.find('\n');
  if (firstEnd == std::string_view::npos || text.substr(0, firstEnd) != kFirstLine) {
    return std::nullopt;
  }
  text.remove_prefix(firstEnd + 1);
  std::vector<MirrorEntry> entries;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    // A list written whole ends in a line feed; a cut-off last line is no entry.
    if (end == std::string_view::npos || entries.size() == kMostMirrorEntries) return std::nullopt;
    std::optional<MirrorEntry> entry = ParseEntry(text.substr(0, end));
    if (!entry) return std::nullopt;
    entries.push_back(std::move(*entry));
    text.remove_prefix(end + 1);
  }
  return entries;
}

}  // namespace lumio
