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
  return TrimmedName(ReplaceRefusedCharacters(text, codePage),
                     kMaxNameBytes - kOutputExtension.size(), codePage);
}

std::string SafeFolderName(std::string_view part, const FileData& record,
                           std::string_view sourceStem, CodePage codePage) {
  std::string name = TrimmedName(
      ReplaceRefusedCharacters(ExpandTagPattern(part, record, sourceStem, "_"), codePage),
      kMaxNameBytes, codePage);
  return name.empty() ? "_" : name;
}

}  // namespace

bool HoldsRefusedCharacter(std::string_view name, CodePage codePage) {
  for (const char refused : kForbiddenNameCharacters) {
    if (FindCharacter(name, refused, codePage) != std::string_view::npos) return true;
  }
  return false;
}

// Whole characters are stepped, so a trail byte of a double-byte character is never
// taken for a refused one.
std::string ReplaceRefusedCharacters(std::string_view name, CodePage codePage) {
  std::string result;
  for (std::size_t pos = 0; pos < name.size();) {
    const std::size_t length = CharacterLength(name, pos, codePage);
    const auto byte = static_cast<unsigned char>(name[pos]);
    const bool refused =
        length == 1 && (byte < 0x20 || byte == 0x7F ||
                        kForbiddenNameCharacters.find(name[pos]) != std::string::npos);
    if (refused) {
      result += '_';
    } else {
      result.append(name.substr(pos, length));
    }
    pos += length;
  }
  return result;
}

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
                             std::string_view sourceStem, std::string_view emptyTag) {
  std::string result;
  for (const PatternPiece& piece : ParsePattern(pattern)) {
    if (piece.placeholder == 0) {
      result += piece.literal;
    } else if (piece.placeholder == 'f' || (piece.placeholder == 't' && record.Title.empty())) {
      result += sourceStem;
    } else {
      const std::string& tag = TagText(piece.placeholder, record);
      result += tag.empty() ? emptyTag : std::string_view(tag);
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

PatternPlace OutputPlaceFromTags(std::string_view pattern, const FileData& record,
                                 std::string_view sourceStem, CodePage codePage) {
  // The pattern is split before it is expanded, so only its own '/' make folders.
  PatternPlace place;
  for (std::size_t slash = pattern.find('/'); slash != std::string_view::npos;
       slash = pattern.find('/')) {
    place.subfolder += SafeFolderName(pattern.substr(0, slash), record, sourceStem, codePage) + "/";
    pattern.remove_prefix(slash + 1);
  }
  place.fileName = OutputNameFromTags(pattern, record, sourceStem, codePage);
  return place;
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
