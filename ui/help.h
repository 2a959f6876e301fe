#pragma once

#include <optional>
#include <string>
#include <vector>

namespace lumio {

// The help text's file name.
inline constexpr const char* kHelpFileName = "lumio.txt";

// The folders the help text is looked for in, in order: beside the program, then the
// installed data folder (share/lumio) beside the program's bin folder, then the one of
// the configured install prefix. Each ends in a separator.
std::vector<std::string> HelpFolders();

// The first folder of `folders` holding the help text, joined with its name.
std::optional<std::string> FindHelpFile(const std::vector<std::string>& folders);

// Opens the help text with the desktop's default program for it. A missing file or a
// desktop that cannot open it is ignored: the program shows no message of its own.
void OpenHelpFile();

}  // namespace lumio
