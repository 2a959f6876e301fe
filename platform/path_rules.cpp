#include "platform/path_rules.h"

namespace lumio {

namespace {

char Separator(const PathRules& rules) { return rules.style == PathStyle::Windows ? '\\' : '/'; }

// Characters after which the file name starts: a drive colon counts in Windows style.
std::string_view FolderEnds(const PathRules& rules) {
  return rules.style == PathStyle::Windows ? std::string_view("\\:") : std::string_view("/");
}

}  // namespace

PathRules NativePathRules() { return PathRules{PathStyle::Posix, SystemCodePage()}; }

std::string WithTrailingSeparator(std::string_view path, const PathRules& rules) {
  const char separator = Separator(rules);
  const std::size_t last = FindLastCharacter(path, std::string_view(&separator, 1), rules.codePage);
  std::string result(path);
  // The empty path and a path whose last character is a separator stay as they are.
  if (path.empty() || last == path.size() - 1) return result;
  result += separator;
  return result;
}

std::string FolderPart(std::string_view path, const PathRules& rules) {
  const std::size_t last = FindLastCharacter(path, FolderEnds(rules), rules.codePage);
  if (last == std::string_view::npos) return {};
  return std::string(path.substr(0, last + 1));
}

std::string FileNamePart(std::string_view path, const PathRules& rules) {
  const std::size_t last = FindLastCharacter(path, FolderEnds(rules), rules.codePage);
  if (last == std::string_view::npos) return std::string(path);
  return std::string(path.substr(last + 1));
}

}  // namespace lumio
