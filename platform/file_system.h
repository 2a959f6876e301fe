#pragma once

#include <string>

namespace lumio {

// Whether a file (not a folder) exists at `path`.
bool FileExists(const std::string& path);

// Whether a folder exists at `path` (a trailing separator is allowed).
bool FolderExists(const std::string& path);

// Creates one folder; false when it cannot be made (exists already, missing parent,
// no permission, empty name).
bool CreateFolder(const std::string& path);

// Creates a folder together with its missing parents; true when it exists afterwards.
bool CreateFolderTree(const std::string& path);

// The process's current folder, and changing it (false on failure).
std::string CurrentFolder();
bool SetCurrentFolder(const std::string& path);

// The first executable file named `name` in the folders of $PATH; empty when none.
std::string FindOnSearchPath(const std::string& name);

}  // namespace lumio
