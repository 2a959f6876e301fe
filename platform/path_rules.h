#pragma once

#include <string>
#include <string_view>

#include "platform/code_page.h"

namespace lumio {

// Windows style: separator '\', the folder part ends at the last '\' or ':'.
// POSIX style: separator '/', the folder part ends at the last '/'.
enum class PathStyle { Windows, Posix };

struct PathRules {
  PathStyle style;
  CodePage codePage;
};

// POSIX style in the system's code page.
PathRules NativePathRules();

// The path with exactly one separator appended when it does not already end in one;
// an empty path stays empty.
std::string WithTrailingSeparator(std::string_view path, const PathRules& rules);

// Everything up to and including the last separator (Windows style: or colon); empty
// when there is none.
std::string FolderPart(std::string_view path, const PathRules& rules);

// Everything after the last separator (Windows style: or colon).
std::string FileNamePart(std::string_view path, const PathRules& rules);

}  // namespace lumio
