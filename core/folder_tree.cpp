#include "core/folder_tree.h"

#include <stdlib.h>

#include <memory>
#include <string_view>

namespace lumio {

namespace {

// The last name in `folder`, trailing separators ignored; "" for the root. "." and ".."
// name no folder of their own, so the real folder's name is taken for them.
std::string FolderName(const std::string& folder) {
  std::string_view trimmed = folder;
  while (!trimmed.empty() && trimmed.back() == '/') trimmed.remove_suffix(1);
  const std::size_t slash = trimmed.rfind('/');
  std::string name(slash == std::string_view::npos ? trimmed : trimmed.substr(slash + 1));
  if (name != "." && name != "..") return name;
  const std::unique_ptr<char, void (*)(void*)> real(::realpath(folder.c_str(), nullptr), ::free);
  if (!real) return {};
  const std::string_view resolved = real.get();
  return std::string(resolved.substr(resolved.rfind('/') + 1));
}

}  // namespace

std::string SubfolderInTree(const std::string& addedFolder, const std::string& filePath,
                            const PathRules& rules) {
  const std::string prefix = WithTrailingSeparator(addedFolder, rules);
  const std::string name = FolderName(addedFolder);
  const std::string relative =
      filePath.compare(0, prefix.size(), prefix) == 0
          ? FolderPart(std::string_view(filePath).substr(prefix.size()), rules)
          : std::string();
  return name.empty() ? relative : name + "/" + relative;
}

std::string OutputFolderOf(const FileData& record, const PathRules& rules) {
  if (record.OutputSubfolder.empty()) return record.OutputDir;
  return WithTrailingSeparator(record.OutputDir, rules) + record.OutputSubfolder;
}

}  // namespace lumio
