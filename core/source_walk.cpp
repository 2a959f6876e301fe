#include "core/source_walk.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <memory>
#include <set>

#include "core/audio_kind.h"
#include "core/cue_source.h"
#include "core/folder_tree.h"
#include "core/natural_order.h"

namespace lumio {

namespace {

bool IsFolder(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Whether a folder entry is a real folder; a link to a folder is not, and a link to a
// file counts as that file.
bool IsRealFolder(const dirent& entry, const std::string& path) {
  if (entry.d_type == DT_DIR) return true;
  if (entry.d_type != DT_UNKNOWN) return false;
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

void SourceWalk::DropSplitImages(std::vector<Entry>& entries) const {
  std::set<std::string> images;
  for (const Entry& entry : entries) {
    if (!entry.folder && AudioKindOf(entry.path, rules_) == AudioKind::CueSheet) {
      for (std::string& image : CueImagePaths(entry.path, rules_)) images.insert(std::move(image));
    }
  }
  if (images.empty()) return;
  std::erase_if(entries,
                [&](const Entry& entry) { return !entry.folder && images.count(entry.path) > 0; });
}

void SourceWalk::Append(const std::vector<std::string>& paths, bool takeAnyFile) {
  Frame frame;
  frame.given = true;
  frame.takeAnyFile = takeAnyFile;
  for (const std::string& path : paths) frame.entries.push_back({path, IsFolder(path)});
  // Queued behind the frames still being walked: the new frame goes to the bottom.
  frames_.insert(frames_.begin(), std::move(frame));
}

bool SourceWalk::Enter(const std::string& folder, const std::string& addedFolder) {
  const std::unique_ptr<DIR, int (*)(DIR*)> listing(::opendir(folder.c_str()), ::closedir);
  if (!listing) return false;
  const std::string prefix = WithTrailingSeparator(folder, rules_);
  Frame frame;
  frame.addedFolder = addedFolder;
  while (const dirent* entry = ::readdir(listing.get())) {
    if (entry->d_name[0] == '.') continue;  // hidden, and the "." and ".." entries
    std::string path = prefix + entry->d_name;
    const bool folder = IsRealFolder(*entry, path);
    if (folder || IsSupportedAudioFile(path, rules_)) frame.entries.push_back({path, folder});
  }
  DropSplitImages(frame.entries);
  std::sort(frame.entries.begin(), frame.entries.end(),
            [](const Entry& a, const Entry& b) { return NaturalLess(a.path, b.path); });
  frames_.push_back(std::move(frame));
  return true;
}

std::optional<SourceWalk::Item> SourceWalk::Next() {
  while (!frames_.empty()) {
    Frame& frame = frames_.back();
    if (frame.next == frame.entries.size()) {
      frames_.pop_back();
      continue;
    }
    Entry entry = std::move(frame.entries[frame.next++]);
    const bool given = frame.given;
    const bool takeAnyFile = frame.takeAnyFile;
    if (entry.folder) {
      // A given folder is the top of its own tree.
      const std::string addedFolder = given ? entry.path : frame.addedFolder;
      if (!Enter(entry.path, addedFolder)) return Item{std::move(entry.path), true, {}};
      continue;
    }
    if (given) {
      if (takeAnyFile || IsSupportedAudioFile(entry.path, rules_)) {
        return Item{std::move(entry.path), false, {}};
      }
      continue;
    }
    std::string subfolder = SubfolderInTree(frame.addedFolder, entry.path, rules_);
    return Item{std::move(entry.path), false, std::move(subfolder)};
  }
  return std::nullopt;
}

}  // namespace lumio
