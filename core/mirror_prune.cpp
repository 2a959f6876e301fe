#include "core/mirror_prune.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <set>

#include "platform/file_contents.h"
#include "platform/file_system.h"

namespace lumio {

namespace {

std::int64_t Nanoseconds(const timespec& time) {
  return static_cast<std::int64_t>(time.tv_sec) * 1'000'000'000 + time.tv_nsec;
}

// Whether nothing is at `path`: a source that has gone. Any other failure (a folder that
// cannot be read, an input/output error) leaves the question open.
bool Gone(const std::string& path) {
  struct stat status {};
  return ::lstat(path.c_str(), &status) != 0 && (errno == ENOENT || errno == ENOTDIR);
}

bool InsideFolder(const std::string& path, const std::string& folder) {
  const std::string prefix = folder.empty() || folder.back() != '/' ? folder + "/" : folder;
  return path.size() > prefix.size() && path.compare(0, prefix.size(), prefix) == 0;
}

// The output is still the very file Lumio wrote: a regular file (a link put in its
// place is not followed) of the recorded size and time.
bool StillAsWritten(const std::string& root, const MirrorEntry& entry) {
  struct stat status {};
  return ::lstat((root + entry.output).c_str(), &status) == 0 && S_ISREG(status.st_mode) &&
         status.st_size == entry.size && Nanoseconds(status.st_mtim) == entry.modifiedNs;
}

// Removes the folders between `root` and the removed `output`, deepest first, while
// they are empty.
void RemoveEmptiedFolders(const std::string& root, std::string output) {
  for (std::size_t slash = output.rfind('/'); slash != std::string::npos && slash > 0;
       slash = output.rfind('/')) {
    output.resize(slash);
    if (::rmdir((root + output).c_str()) != 0) return;
  }
}

}  // namespace

std::optional<std::vector<MirrorEntry>> ReadMirrorManifest(const std::string& root) {
  const FileContents contents =
      ReadRegularFile(root + std::string(kMirrorManifestName), kLongestMirrorManifest + 1);
  if (contents.outcome == ReadOutcome::Missing) return std::vector<MirrorEntry>();
  if (contents.outcome != ReadOutcome::Read) return std::nullopt;
  return ParseMirrorManifest(contents.bytes);
}

bool WriteMirrorManifest(const std::string& root, const std::vector<MirrorEntry>& entries) {
  return ReplaceFileAtomically(root + std::string(kMirrorManifestName),
                               FormatMirrorManifest(entries));
}

std::optional<MirrorEntry> WrittenEntry(const std::string& root, const std::string& outputPath,
                                        const std::string& sourcePath) {
  struct stat status {};
  if (!InsideFolder(outputPath, root) || ::lstat(outputPath.c_str(), &status) != 0 ||
      !S_ISREG(status.st_mode)) {
    return std::nullopt;
  }
  return MirrorEntry{outputPath.substr(root.size()), sourcePath, status.st_size,
                     Nanoseconds(status.st_mtim)};
}

std::vector<MirrorEntry> UpdatedManifest(const std::string& root,
                                         const std::vector<MirrorEntry>& old,
                                         const std::vector<MirrorEntry>& removed,
                                         const std::vector<MirrorEntry>& written) {
  std::set<std::string> replaced;
  for (const MirrorEntry& entry : removed) replaced.insert(entry.output);
  for (const MirrorEntry& entry : written) replaced.insert(entry.output);
  std::vector<MirrorEntry> entries;
  for (const MirrorEntry& entry : old) {
    if (replaced.count(entry.output) == 0 && !Gone(root + entry.output)) entries.push_back(entry);
  }
  entries.insert(entries.end(), written.begin(), written.end());
  return entries;
}

std::vector<MirrorEntry> OrphanedOutputs(const std::vector<MirrorEntry>& entries,
                                         const std::string& root,
                                         const std::vector<std::string>& sourceFolders) {
  std::vector<MirrorEntry> orphans;
  for (const MirrorEntry& entry : entries) {
    const bool judged =
        std::any_of(sourceFolders.begin(), sourceFolders.end(), [&](const std::string& folder) {
          return InsideFolder(entry.source, folder) && FolderExists(folder);
        });
    if (judged && Gone(entry.source) && StillAsWritten(root, entry)) orphans.push_back(entry);
  }
  return orphans;
}

PruneOutcome RemoveOrphanedOutputs(const std::vector<MirrorEntry>& orphans,
                                   const std::string& root) {
  PruneOutcome outcome;
  for (const MirrorEntry& entry : orphans) {
    const std::string path = root + entry.output;
    if (!StillAsWritten(root, entry)) continue;
    if (::unlink(path.c_str()) != 0) {
      outcome.failures.push_back(path + ": " + std::strerror(errno));
      continue;
    }
    outcome.removed.push_back(entry);
    RemoveEmptiedFolders(root, entry.output);
  }
  return outcome;
}

}  // namespace lumio
