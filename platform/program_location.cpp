#include "platform/program_location.h"

#include <unistd.h>

#include <vector>

#include "platform/file_system.h"
#include "platform/path_rules.h"

namespace lumio {

std::string ProgramFilePath() {
  std::vector<char> buffer(4096);
  while (true) {
    const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (length < 0) return {};
    // readlink fills the whole buffer when the path may have been cut short.
    if (static_cast<std::size_t>(length) < buffer.size()) {
      return std::string(buffer.data(), static_cast<std::size_t>(length));
    }
    buffer.resize(buffer.size() * 2);
  }
}

std::string ProgramFolder() {
  const PathRules rules = NativePathRules();
  return WithTrailingSeparator(FolderPart(ProgramFilePath(), rules), rules);
}

std::string FindHelperProgram(const std::string& folder, const std::string& name) {
  if (!folder.empty() && FileExists(folder + name)) return folder + name;
  return FindOnSearchPath(name);
}

}  // namespace lumio
