#include "ui/folder_view.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

#include "platform/file_system.h"
#include "ui/text_conversion.h"

namespace lumio {

namespace {

constexpr int kPathRole = Qt::UserRole;

// Subfolder names of `folder`, sorted; an unreadable folder lists none.
std::vector<std::string> Subfolders(const std::string& folder) {
  std::vector<std::string> names;
  std::error_code error;
  std::filesystem::directory_iterator it(folder, error);
  for (; !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
    std::error_code typeError;
    if (it->is_directory(typeError)) {
      names.push_back(it->path().filename().string());
    }
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::string Joined(const std::string& folder, const std::string& name) {
  return folder == "/" ? folder + name : folder + "/" + name;
}

}  // namespace

std::string WithoutTrailingSeparator(const std::string& path) {
  std::string result = path;
  while (result.size() > 1 && result.back() == '/') {
    result.pop_back();
  }
  return result;
}

FolderView::FolderView(QWidget* parent) : QListWidget(parent) {
  setUniformItemSizes(true);
  // itemActivated covers both the double click and Enter.
  connect(this, &QListWidget::itemActivated, this, &FolderView::Open);
}

void FolderView::SetDirectory(const std::string& path) {
  // An exact comparison: on Linux /Music and /music are two different folders.
  if (path.empty() || path == directory_ || !FolderExists(path)) {
    return;
  }
  const std::string absolute = path.front() == '/' ? path : Joined(CurrentFolder(), path);
  directory_ =
      WithoutTrailingSeparator(std::filesystem::path(absolute).lexically_normal().string());
  Reread();
  emit DirectoryChanged();
}

void FolderView::Reread() {
  clear();
  // The chain from "/" down to the current folder, each level indented one step more.
  std::vector<std::string> chain{"/"};
  std::size_t start = 1;
  while (start < directory_.size()) {
    std::size_t end = directory_.find('/', start);
    if (end == std::string::npos) {
      end = directory_.size();
    }
    chain.push_back(directory_.substr(0, end));
    start = end + 1;
  }
  int depth = 0;
  for (const std::string& folder : chain) {
    const std::string name = folder == "/" ? folder : folder.substr(folder.rfind('/') + 1);
    auto* item = new QListWidgetItem(QString(depth * 2, QLatin1Char(' ')) + ToQString(name), this);
    item->setData(kPathRole, QByteArray::fromStdString(folder));
    ++depth;
  }
  if (QListWidgetItem* current = item(count() - 1)) {
    setCurrentItem(current);
  }
  for (const std::string& name : Subfolders(directory_)) {
    auto* item = new QListWidgetItem(QString(depth * 2, QLatin1Char(' ')) + ToQString(name), this);
    item->setData(kPathRole, QByteArray::fromStdString(Joined(directory_, name)));
  }
}

void FolderView::Open(QListWidgetItem* item) {
  // The path is kept as bytes, so that names that are not valid text still open.
  SetDirectory(item->data(kPathRole).toByteArray().toStdString());
}

}  // namespace lumio
