#pragma once

#include <string>
#include <string_view>

namespace lumio {

// What reading a whole file found: the bytes, no file at all, or a file (or folder,
// device, pipe) that exists but cannot be read as a file.
enum class ReadOutcome { Read, Missing, Unreadable };

struct FileContents {
  ReadOutcome outcome = ReadOutcome::Missing;
  std::string bytes;
};

// Reads the regular file at `path` whole. A path whose folder part is missing or is
// not a folder counts as missing.
FileContents ReadWholeFile(const std::string& path);

// Replaces the file at `path` with `bytes` so that it is either wholly old or wholly
// new on disk: the bytes go to a temporary file in the same folder, which is flushed
// to disk and renamed over `path`; the folder is flushed too. Missing folders are
// created. When `moveAsideTo` is not empty, whatever is at `path` is first renamed to
// that name (replacing an older one); a failure of that rename fails the whole
// replacement. On failure nothing at `path` has changed and no temporary file is left;
// false is returned. A symbolic link at `path` is kept and its target replaced.
bool ReplaceFileAtomically(const std::string& path, std::string_view bytes,
                           const std::string& moveAsideTo = {});

}  // namespace lumio
