#pragma once

// Errors in platform/: nothing throws. A call that can fail says so in its result:
// false, an empty string or nullopt, or an outcome enum where the caller must tell
// "missing" from "unreadable" (ReadOutcome). Where the caller shows why, the reason comes
// back as text in an `error` out-parameter (CreateFoldersInside).

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace lumio {

// Whether anything at all is at `path`: a link that leads nowhere counts.
bool PathExists(const std::string& path);

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
// itself is never made. Each folder made is added to `made`, parents first. On failure
// `error` names the folder that could not be made and why.
bool CreateFoldersInside(const std::string& base, const std::string& subfolders, std::string& error,
                         std::vector<std::string>* made = nullptr);

// Removes those of `folders` (as CreateFoldersInside lists them, parents first) that are
// empty, children before parents; a folder that holds anything stays.
void RemoveFoldersLeftEmpty(const std::vector<std::string>& folders);

// The bytes this user may still write in the file system that holds `path`.
std::optional<std::uint64_t> FreeBytesAt(const std::string& path);

// Whether the file at `path` exists and has no write permission for this user: a file the
// user protected to keep it. Root, who may write anything, counts any write bit.
bool IsWriteProtectedFile(const std::string& path);

// Whether the file at `path` sits in a folder with the sticky bit (like /tmp) and belongs
// neither to this user nor to the folder's owner: it cannot be replaced or removed.
bool IsOtherUsersFileInStickyFolder(const std::string& path);

// The process's current folder: the folder it was started in, since nothing changes it
// afterwards (a child process is given its working folder of its own).
std::string CurrentFolder();

// The first executable file named `name` in the folders of $PATH; empty when none.
std::string FindOnSearchPath(const std::string& name);

}  // namespace lumio
