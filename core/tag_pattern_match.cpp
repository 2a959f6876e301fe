// Reading tags out of a file name by a pattern.
#include <algorithm>

#include "core/tag_pattern.h"

namespace lumio {

namespace {

std::optional<TagField> FieldOf(char placeholder) {
  switch (placeholder) {
    case 't':
      return TagField::Title;
    case 'a':
      return TagField::Artist;
    case 'b':
      return TagField::Album;
    case 'd':
      return TagField::Date;
    case 'n':
      return TagField::TrackNumber;
    default:
      return std::nullopt;  // %f matches but fills nothing
  }
}

std::string WithoutSurroundingBlanks(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return std::string(text.substr(first, text.find_last_not_of(" \t") - first + 1));
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A backtracking match of the pieces against the name. Positions that were already
// found not to match are remembered, so a pattern with many placeholders over a long
// name takes time in proportion to pieces × length², not exponential time.
class Matcher {
 public:
  Matcher(std::vector<PatternPiece> pieces, std::string_view name, CodePage codePage)
      : pieces_(std::move(pieces)),
        name_(name),
        codePage_(codePage),
        failed_((pieces_.size() + 1) * (name.size() + 1), false) {}

  std::optional<MatchedTags> Run() {
    if (!MatchFrom(0, 0)) return std::nullopt;
    return std::move(matched_);
  }

 private:
  bool MatchFrom(std::size_t piece, std::size_t pos) {
    if (piece == pieces_.size()) return pos == name_.size();
    const std::size_t state = piece * (name_.size() + 1) + pos;
    if (failed_[state]) return false;
    if (pieces_[piece].placeholder == 0 ? MatchLiteral(piece, pos) : MatchPlaceholder(piece, pos)) {
      return true;
    }
    failed_[state] = true;
    return false;
  }

  bool MatchLiteral(std::size_t piece, std::size_t pos) {
    const std::string& literal = pieces_[piece].literal;
    return name_.substr(pos).starts_with(literal) && MatchFrom(piece + 1, pos + literal.size());
  }

  bool MatchPlaceholder(std::size_t piece, std::size_t pos) {
    const char placeholder = pieces_[piece].placeholder;
    // The possible ends of this placeholder's run, shortest first.
    std::vector<std::size_t> ends;
    for (std::size_t end = pos; end < name_.size();) {
      if (placeholder == 'n' && !IsDigit(name_[end])) break;
      end += CharacterLength(name_, end, codePage_);
      ends.push_back(end);
    }
    if (placeholder == 'n') std::reverse(ends.begin(), ends.end());
    for (const std::size_t end : ends) {
      const std::size_t size = matched_.size();
      if (const std::optional<TagField> field = FieldOf(placeholder)) {
        matched_.emplace_back(*field, WithoutSurroundingBlanks(name_.substr(pos, end - pos)));
      }
      if (MatchFrom(piece + 1, end)) return true;
      matched_.erase(matched_.begin() + static_cast<std::ptrdiff_t>(size), matched_.end());
    }
    return false;
  }

  std::vector<PatternPiece> pieces_;
  std::string_view name_;
  CodePage codePage_;
  std::vector<bool> failed_;
  MatchedTags matched_;
};

}  // namespace

std::optional<MatchedTags> MatchTagPattern(std::string_view pattern, std::string_view sourceStem,
                                           CodePage codePage) {
  return Matcher(ParsePattern(pattern), sourceStem, codePage).Run();
}

}  // namespace lumio
