#pragma once

#include <QListWidget>
#include <string>

namespace lumio {

// The folder view of the main window: the folders from "/" down to the current folder,
// then the current folder's subfolders. Opening one (double click or Enter) makes it
// current. The current folder is held without a trailing separator, except "/".
class FolderView : public QListWidget {
  Q_OBJECT

 public:
  explicit FolderView(QWidget* parent = nullptr);

  const std::string& Directory() const { return directory_; }

  // Text equal to the current folder changes nothing. Any other text naming an
  // existing folder, the current one written with a trailing separator included, makes
  // that folder current, re-reads the view and emits DirectoryChanged. Text naming no
  // folder is ignored.
  void SetDirectory(const std::string& path);

  // Lists the current folder again (after a folder has been created in it).
  void Reread();

 signals:
  void DirectoryChanged();

 private:
  void Open(QListWidgetItem* item);

  std::string directory_;
};

// `path` without its trailing separators; "/" stays "/".
std::string WithoutTrailingSeparator(const std::string& path);

}  // namespace lumio
