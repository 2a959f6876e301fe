#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/path_rules.h"

namespace lumio {

// Walks the files and folders given to be added, one step at a time so that a caller
// can keep its window responsive: a given file comes as it is; a given folder yields
// every sound file under it (by extension), recursively, in path order with numbers
// compared by value. Hidden files and folders (names starting with '.') are skipped, and
// symbolic links to folders inside the walk are not followed, so a link cannot make a
// loop. A folder's image file that a CUE sheet beside it names is left to the sheet.
class SourceWalk {
 public:
  explicit SourceWalk(PathRules rules) : rules_(rules) {}

  struct Item {
    std::string path;
    bool unreadableFolder = false;  // a folder whose contents could not be listed
    // For a file found inside a given folder, its place there (see SubfolderInTree);
    // empty for a given file.
    std::string subfolder;
  };

  // Queues `paths` behind what is queued already. With `takeAnyFile`, given files are
  // taken whatever their extension (the add-files dialog's choice); otherwise only
  // sound files are.
  void Append(const std::vector<std::string>& paths, bool takeAnyFile);

  // The next file to add, or an unreadable folder; nullopt when the walk is done.
  // Each call lists at most one folder.
  std::optional<Item> Next();

  bool Done() const { return frames_.empty(); }
  void Clear() { frames_.clear(); }

 private:
  struct Entry {
    std::string path;
    bool folder;
  };
  struct Frame {
    std::vector<Entry> entries;
    std::size_t next = 0;
    bool given = false;  // the paths given by the caller, not a folder's listing
    bool takeAnyFile = false;
    std::string addedFolder;  // the given folder this listing lies in
  };

  // Pushes the listing of `folder`, which lies in the given folder `addedFolder`; false
  // when it cannot be read.
  bool Enter(const std::string& folder, const std::string& addedFolder);

  // Removes the image files that a CUE sheet among `entries` splits into tracks: the
  // sheet adds them, track by track, and they are not added whole as well.
  void DropSplitImages(std::vector<Entry>& entries) const;

  PathRules rules_;
  std::vector<Frame> frames_;
};

}  // namespace lumio
