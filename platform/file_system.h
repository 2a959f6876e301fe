#pragma once

// Errors in platform/: nothing throws. A call that can fail says so in its result:
// false, an empty string or nullopt, or an outcome enum where the caller must tell
// "missing" from "unreadable" (ReadOutcome). Where the caller shows why, the reason comes
// back as text in an `error` out-parameter (CreateFoldersInside).

#include <string>

namespace lumio {

// Whether a file (not a folder) exists at `path`.
bool FileExists(const std::string& path);

// Whether a folder exists at `path` (a trailing separator is allowed).
bool FolderExists(const std::string& path);

// Whether this process may create files in the folder at `path`.
bool FolderWritable(const std::string& path);

// Creates one folder; false when it cannot be made (exists already, missing parent,
// no permission, empty name).
bool CreateFolder(const std::string& path);

// Creates a folder together with its missing parents; true when it exists afterwards.
bool CreateFolderTree(const std::string& path);

// Creates the folders of `subfolders` ("a/b/", separated by '/') one inside the other
// within `base`, which ends in a separator; those that exist already are kept, and `base`
// itself is never made. On failure `error` names the folder that could not be made and
// why.
bool CreateFoldersInside(const std::string& base, const std::string& subfolders,
                         std::string& error);

// The process's current folder, and changing it (false on failure).
std::string CurrentFolder();
bool SetCurrentFolder(const std::string& path);

// The first executable file named `name` in the folders of $PATH; empty when none.
std::string FindOnSearchPath(const std::string& name);

}  // namespace lumio
