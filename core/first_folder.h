#pragma once

#include <string>

namespace lumio {

// The places a folder that no setting gives can start in.
struct FirstFolderPlaces {
  std::string programFolder;  // the running program's folder
  std::string musicFolder;    // the user's music folder; may not exist
  std::string homeFolder;
};

// Where the add-files dialog or the output folder starts when no usable folder is
// saved: `fallback` (the program's folder for the dialog, the current folder for the
// output), unless it is no place for the user's music: a folder the user cannot write
// to, a system folder (/usr, /etc, ... or / itself), or a folder inside the source
// checkout the program was built in (a `.git` above the program's folder). Then the
// music folder when it exists, else the home folder. The result ends in '/'.
std::string FirstFolder(const std::string& fallback, const FirstFolderPlaces& places);

}  // namespace lumio
