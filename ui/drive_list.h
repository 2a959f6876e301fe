#pragma once

#include <QComboBox>
#include <map>
#include <string>
#include <vector>

namespace lumio {

// The drive list of the main window: the root folders of the mounted file systems, "/"
// first. It remembers the last folder shown on each drive, which is where choosing
// that drive again leads.
class DriveList : public QComboBox {
  Q_OBJECT

 public:
  explicit DriveList(QWidget* parent = nullptr);

  // Replaces the listed roots; the list shows the drive of `folder` afterwards.
  void SetRoots(std::vector<std::string> roots, const std::string& folder);

  // The root whose file system holds `path`: the longest listed root above it.
  std::string DriveOf(const std::string& path) const;

  // Shows the drive of `folder` without emitting any signal.
  void ShowDriveOf(const std::string& folder);

  // Notes `folder` as the last folder shown on its drive.
  void Remember(const std::string& folder);
  // The last folder shown on `root`'s drive, or the root itself.
  std::string RememberedFolder(const std::string& root) const;

  // The root now chosen in the list.
  std::string ChosenRoot() const;

 private:
  std::vector<std::string> roots_;
  std::map<std::string, std::string> lastFolders_;
};

// Whether the drive at `root` can be listed, i.e. holds a readable file system.
bool DriveReady(const std::string& root);

// The roots of the mounted real file systems, deduplicated, "/" first.
std::vector<std::string> MountedRoots();

}  // namespace lumio
