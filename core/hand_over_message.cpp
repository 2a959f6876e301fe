#include "core/hand_over_message.h"

#include <cstdint>

namespace lumio {

namespace {

constexpr std::string_view kGreeting = "lumio-paths\n";
constexpr std::size_t kLengthSize = 8;
static_assert(kGreeting.size() + kLengthSize == kHandOverHeaderSize);

}  // namespace

std::optional<std::string> EncodeHandOver(const std::vector<std::string>& paths) {
  std::size_t bodySize = 0;
  std::size_t count = 0;
  for (const std::string& path : paths) {
    if (path.empty()) continue;
    if (path.size() > kHandOverPathBytesLimit) return std::nullopt;
    bodySize += path.size() + 1;
    ++count;
  }
  if (bodySize > kHandOverBodyLimit || count > kHandOverPathLimit) return std::nullopt;
  std::string message(kGreeting);
  message.reserve(kHandOverHeaderSize + bodySize);
  for (std::size_t shift = kLengthSize * 8; shift > 0; shift -= 8) {
    message += static_cast<char>((static_cast<std::uint64_t>(bodySize) >> (shift - 8)) & 0xFF);
  }
  for (const std::string& path : paths) {
    if (path.empty()) continue;
    message += path;
    message += '\0';
  }
  return message;
}

std::optional<std::size_t> HandOverBodyLength(std::string_view header) {
  if (header.size() != kHandOverHeaderSize || !header.starts_with(kGreeting)) return std::nullopt;
  std::uint64_t length = 0;
  for (const char byte : header.substr(kGreeting.size())) {
    length = (length << 8) | static_cast<unsigned char>(byte);
  }
  if (length > kHandOverBodyLimit) return std::nullopt;
  return static_cast<std::size_t>(length);
}

std::optional<std::vector<std::string>> HandOverPaths(std::string_view body) {
  std::vector<std::string> paths;
  while (!body.empty()) {
    const std::size_t end = body.find('\0');
    if (end == std::string_view::npos || end > kHandOverPathBytesLimit) return std::nullopt;
    if (end > 0) {
      if (paths.size() == kHandOverPathLimit) return std::nullopt;
      paths.emplace_back(body.substr(0, end));
    }
    body.remove_prefix(end + 1);
  }
  return paths;
}

}  // namespace lumio
