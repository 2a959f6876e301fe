#pragma once

#include <QString>
#include <optional>
#include <string>
#include <vector>

namespace lumio {

// The help text's file name.
inline constexpr const char* kHelpFileName = "lumio.txt";

// The folders the help text is looked for in, in order: beside the program (in
// `programFolder`, ending in a separator), then the installed data folder (share/lumio)
// beside the program's bin folder, then the one of the configured install prefix. Each
// ends in a separator.
std::vector<std::string> HelpFolders(const std::string& programFolder);

// The first folder of `folders` holding the help text, joined with its name.
std::optional<std::string> FindHelpFile(const std::vector<std::string>& folders);

// Reads the help text at `path` for Lumio's own help window; nullopt when it cannot be
// read.
std::optional<QString> ReadHelpText(const std::string& path);

}  // namespace lumio
