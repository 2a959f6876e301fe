#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/file_data.h"
#include "platform/code_page.h"

// Naming patterns over a job's tags, in both directions: an output file name made from
// the tags, and tags read out of the source file's name. Placeholders: %t title,
// %a artist, %b album, %d date, %n track number, %f the source file's name without its
// extension, %% one percent sign. Any other '%' stands for itself.
namespace lumio {

// The characters that the batch refuses in an output file name.
inline constexpr std::string_view kForbiddenNameCharacters = "\\/:,;*?\"<>|";

// One piece of a pattern: literal text, or a placeholder letter (one of "tabdnf").
struct PatternPiece {
  char placeholder = 0;  // 0 for literal text
  std::string literal;
};

std::vector<PatternPiece> ParsePattern(std::string_view pattern);

// The pattern with every placeholder replaced by the record's tag; an empty title gives
// `sourceStem` instead, an empty other tag gives `emptyTag`.
std::string ExpandTagPattern(std::string_view pattern, const FileData& record,
                             std::string_view sourceStem, std::string_view emptyTag = {});

// Whether `name` holds a character that the batch refuses in a name.
bool HoldsRefusedCharacter(std::string_view name, CodePage codePage);

// `name` with the characters that the batch refuses in a name, and control characters,
// each replaced by '_'.
std::string ReplaceRefusedCharacters(std::string_view name, CodePage codePage);

// An output file name from the pattern that the batch accepts as it is: characters the
// batch refuses in a name and control characters become '_', blanks and dots at either
// end go, the name is kept within 255 bytes, and ".ogg" is appended. When nothing is
// left, the source file's name (made safe the same way) stands in.
std::string OutputNameFromTags(std::string_view pattern, const FileData& record,
                               std::string_view sourceStem, CodePage codePage);

// Where a pattern whose '/' separate folders puts an output below the output folder.
struct PatternPlace {
  std::string subfolder;  // each folder followed by '/'; empty for a pattern without '/'
  std::string fileName;   // as OutputNameFromTags gives it
};

// The pattern's last part names the file as OutputNameFromTags does; each part before a
// '/' names a folder, made safe the same way, with '_' for an empty tag and for a part
// that comes out empty, so that no folder is empty, "." or "..". A '/' inside a tag is
// no separator: it becomes '_' like any refused character.
PatternPlace OutputPlaceFromTags(std::string_view pattern, const FileData& record,
                                 std::string_view sourceStem, CodePage codePage);

// The tags that a file name yields, in the order of the pattern.
using MatchedTags = std::vector<std::pair<TagField, std::string>>;

// Reads tags out of `sourceStem`. Literal text must match exactly; each placeholder
// matches one or more characters: %n the longest run of digits that lets the rest
// match, every other placeholder the shortest run that lets the rest match; %f matches
// like the others and fills nothing. Blanks around a matched tag are dropped. nullopt
// when the name does not match the pattern.
std::optional<MatchedTags> MatchTagPattern(std::string_view pattern, std::string_view sourceStem,
                                           CodePage codePage);

// Track numbers 1 to `count`: zero-padded to two digits when there are ten or more.
std::vector<std::string> TrackNumbers(std::size_t count);

}  // namespace lumio
