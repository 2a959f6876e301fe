#include "core/tag_pattern.h"

namespace lumio {

namespace {

constexpr std::string_view kPlaceholders = "tabdnf";
// Longest file name most Linux file systems take, ".ogg" included.
constexpr std::size_t kMaxNameBytes = 255;
constexpr std::string_view kOutputExtension = ".ogg";

const std::string& TagText(char placeholder, const FileData& record) {
  switch (placeholder) {
    case 't':
      return record.Title;
    case 'a':
      return record.Artist;
    case 'b':
      return record.Album;
    case 'd':
      return record.Date;
    default:
      return record.TrackNumber;
  }
}

// Refused and control characters become '_'; whole characters are stepped, so a
// trail byte of a double-byte character is never taken for one of them.
std::string ReplaceUnsafeCharacters(std::string_view text, CodePage codePage) {
  std::string result;
  for (std::size_t pos = 0; pos < text.size();) {
    const std::size_t length = CharacterLength(text, pos, codePage);
    const auto byte = static_cast<unsigned char>(text[pos]);
    const bool unsafe =
        length == 1 && (byte < 0x20 || byte == 0x7F ||
                        kForbiddenNameCharacters.find(text[pos]) != std::string::npos);
    if (unsafe) {
      result += '_';
    } else {
      result.append(text.substr(pos, length));
    }
    pos += length;
  }
  return result;
}

// The name cut to at most `limit` bytes at a character boundary, without blanks and
// dots at either end.
std::string TrimmedName(std::string_view name, std::size_t limit, CodePage codePage) {
  std::size_t end = 0;
  while (end < name.size()) {
    const std::size_t next = end + CharacterLength(name, end, codePage);
    if (next > limit) break;
    end = next;
  }
  name = name.substr(0, end);
  const std::size_t first = name.find_first_not_of(" .");
  if (first == std::string_view::npos) return {};
  return std::string(name.substr(first, name.find_last_not_of(" .") - first + 1));
}

std::string SafeName(std::string_view text, CodePage codePage) {
  return TrimmedName(ReplaceUnsafeCharacters(text, codePage),
                     kMaxNameBytes - kOutputExtension.size(), codePage);
}

}  // namespace

std::vector<PatternPiece> ParsePattern(std::string_view pattern) {
  std::vector<PatternPiece> pieces;
  auto appendLiteral = [&pieces](std::string_view text) {
    if (pieces.empty() || pieces.back().placeholder != 0) pieces.emplace_back();
    pieces.back().literal.append(text);
  };
  for (std::size_t pos = 0; pos < pattern.size(); ++pos) {
    const bool escape = pattern[pos] == '%' && pos + 1 < pattern.size();
    const char next = escape ? pattern[pos + 1] : 0;
    if (escape && kPlaceholders.find(next) != std::string_view::npos) {
      pieces.push_back(PatternPiece{next, {}});
      ++pos;
    } else if (escape && next == '%') {
      appendLiteral("%");
      ++pos;
    } else {
      appendLiteral(pattern.substr(pos, 1));
    }
  }
  return pieces;
}

std::string ExpandTagPattern(std::string_view pattern, const FileData& record,
                             std::string_view sourceStem) {
  std::string result;
  for (const PatternPiece& piece : ParsePattern(pattern)) {
    if (piece.placeholder == 0) {
      result += piece.literal;
    } else if (piece.placeholder == 'f' || (piece.placeholder == 't' && record.Title.empty())) {
      result += sourceStem;
    } else {
      result += TagText(piece.placeholder, record);
    }
  }
  return result;
}

std::string OutputNameFromTags(std::string_view pattern, const FileData& record,
                               std::string_view sourceStem, CodePage codePage) {
  std::string name = SafeName(ExpandTagPattern(pattern, record, sourceStem), codePage);
  if (name.empty()) name = SafeName(sourceStem, codePage);
  return name + std::string(kOutputExtension);
}

std::vector<std::string> TrackNumbers(std::size_t count) {
  std::vector<std::string> numbers;
  numbers.reserve(count);
  for (std::size_t number = 1; number <= count; ++number) {
    std::string text = std::to_string(number);
    if (count >= 10 && text.size() < 2) text.insert(0, 1, '0');
    numbers.push_back(std::move(text));
  }
  return numbers;
}

}  // namespace lumio
