#include "ui/drive_list.h"

#include <QSignalBlocker>
#include <QStorageInfo>
#include <algorithm>
#include <filesystem>
#include <system_error>

#include "ui/text_conversion.h"

namespace lumio {

namespace {

bool IsUnder(const std::string& path, const std::string& root) {
  if (root == "/") {
    return !path.empty() && path.front() == '/';
  }
  return path.compare(0, root.size(), root) == 0 &&
         (path.size() == root.size() || path[root.size()] == '/');
}

}  // namespace

bool DriveReady(const std::string& root) {
  if (root.empty()) {
    return false;
  }
  std::error_code error;
  std::filesystem::directory_iterator listing(root, error);
  return !error;
}

std::vector<std::string> MountedRoots() {
  std::vector<std::string> roots;
  for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
    // Pseudo file systems (proc, sysfs, cgroup, ...) have no device node behind them.
    if (!volume.isValid() || !volume.isReady() || !volume.device().startsWith("/dev/")) {
      continue;
    }
    roots.push_back(volume.rootPath().toLocal8Bit().toStdString());
  }
  std::sort(roots.begin(), roots.end());
  roots.erase(std::unique(roots.begin(), roots.end()), roots.end());
  std::erase(roots, std::string("/"));
  roots.insert(roots.begin(), "/");
  return roots;
}

DriveList::DriveList(QWidget* parent) : QComboBox(parent) {}

void DriveList::SetRoots(std::vector<std::string> roots, const std::string& folder) {
  roots_ = std::move(roots);
  const QSignalBlocker blocker(this);
  clear();
  for (const std::string& root : roots_) {
    addItem(ToQString(root));
  }
  ShowDriveOf(folder);
}

std::string DriveList::DriveOf(const std::string& path) const {
  std::string best;
  for (const std::string& root : roots_) {
    if (IsUnder(path, root) && root.size() > best.size()) {
      best = root;
    }
  }
  return best;
}

void DriveList::ShowDriveOf(const std::string& folder) {
  const auto found = std::find(roots_.begin(), roots_.end(), DriveOf(folder));
  if (found != roots_.end()) {
    const QSignalBlocker blocker(this);
    setCurrentIndex(static_cast<int>(found - roots_.begin()));
  }
}

void DriveList::Remember(const std::string& folder) {
  const std::string root = DriveOf(folder);
  if (!root.empty()) {
    lastFolders_[root] = folder;
  }
}

std::string DriveList::RememberedFolder(const std::string& root) const {
  const auto found = lastFolders_.find(root);
  return found != lastFolders_.end() ? found->second : root;
}

std::string DriveList::ChosenRoot() const {
  const int index = currentIndex();
  return index >= 0 && index < static_cast<int>(roots_.size()) ? roots_[index] : std::string();
}

}  // namespace lumio
