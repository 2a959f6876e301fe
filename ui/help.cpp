#include "ui/help.h"

#include <QDesktopServices>
#include <QUrl>

#include "platform/file_system.h"
#include "platform/program_location.h"
#include "ui/text_conversion.h"

namespace lumio {

std::vector<std::string> HelpFolders() {
  const std::string programFolder = ProgramFolder();
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

void OpenHelpFile() {
  // An absolute path, so the program's current folder (which a batch changes) is
  // irrelevant.
  if (const auto path = FindHelpFile(HelpFolders())) {
    QDesktopServices::openUrl(QUrl::fromLocalFile(ToQString(*path)));
  }
}

}  // namespace lumio
