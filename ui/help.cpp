#include "ui/help.h"

#include "platform/file_contents.h"
#include "platform/file_system.h"

namespace lumio {

std::vector<std::string> HelpFolders(const std::string& programFolder) {
  // The installed data folder is found from the program's own place first, so that an
  // installation under any prefix (or a package unpacked anywhere) uses its own help text.
  std::vector<std::string> folders{programFolder, programFolder + "../share/lumio/"};
#ifdef LUMIO_HELP_DIR
  folders.push_back(std::string(LUMIO_HELP_DIR) + "/");
#endif
  return folders;
}

std::optional<std::string> FindHelpFile(const std::vector<std::string>& folders) {
  for (const std::string& folder : folders) {
    std::string path = folder + kHelpFileName;
    if (FileExists(path)) {
      return path;
    }
  }
  return std::nullopt;
}

std::optional<QString> ReadHelpText(const std::string& path) {
  FileContents contents = ReadWholeFile(path);
  if (contents.outcome != ReadOutcome::Read) {
    return std::nullopt;
  }
  return QString::fromUtf8(contents.bytes);
}

}  // namespace lumio
