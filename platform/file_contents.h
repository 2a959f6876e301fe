#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace lumio {

// What reading a whole file found: the bytes, no file at all, or a file (or folder,
// device, pipe) that exists but cannot be read as a file.
enum class ReadOutcome { Read, Missing, Unreadable };

struct FileContents {
  ReadOutcome outcome = ReadOutcome::Missing;
  std::string bytes;
  std::uint64_t size = 0;  // the file's length when it was opened
};

// Reads at most `maxBytes` bytes from the start of the regular file at `path`; `bytes`
// holds fewer than `size` when the file is longer. The file is opened without waiting
// and checked on the opened descriptor, so that a pipe, device or folder put in its
// place (even after an earlier look at the path) is never read and nothing blocks: it
// is Unreadable. Links are followed. A path whose folder part is missing or is not a
// folder counts as missing.
FileContents ReadRegularFile(const std::string& path, std::uint64_t maxBytes);

// Copies the bytes of the regular file `from` into the existing file `to`, which is
// emptied first, a mebibyte at a time. `from` is opened without waiting and checked on its
// descriptor, as ReadRegularFile does; a file whose length changes while it is copied
// fails too. False with the reason in `error`.
bool CopyRegularFile(const std::string& from, const std::string& to, std::string& error);

// ReadRegularFile without a bound.
FileContents ReadWholeFile(const std::string& path);

// The first of `base`, "<base>.1", "<base>.2", … at which nothing exists.
std::string FreeMoveAsideName(const std::string& base);

// Replaces the file at `path` with `bytes` so that it is either wholly old or wholly
// new on disk: the bytes go to a temporary file in the same folder, which is flushed
// to disk and renamed over `path`; the folder is flushed too. Missing folders are
// created, and temporary files that killed saves to `path` left behind are removed
// first. The new file keeps the old one's permission bits, with read permission for its
// owner added. A file that the process may not write to is not replaced (false).
// When `moveAsideTo` is not empty, whatever is at `path` is first renamed to the first
// free name of FreeMoveAsideName(moveAsideTo)'s series, never over an earlier one, and the new file
// is also writable by its owner; a failure of that rename fails the whole replacement.
// On failure nothing at `path` has changed and no temporary file is left; false is
// returned. A symbolic link at `path` is kept and its target replaced.
bool ReplaceFileAtomically(const std::string& path, std::string_view bytes,
                           const std::string& moveAsideTo = {});

}  // namespace lumio
