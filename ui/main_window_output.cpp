// The main window's output folders: the folder view moves the selected jobs' output
// folder, and 出力先パス shows where their files go.
#include <QLineEdit>

#include "core/folder_tree.h"
#include "ui/main_window.h"
#include "ui/text_conversion.h"

namespace lumio {

namespace {

// Shown in 出力先パス when the selected jobs write to different folders.
const QString kSeveralOutputFolders = QStringLiteral("（複数の出力先）");

}  // namespace

void TMainWindow::MoveSelectedOutputs(const std::string& folder, const Selection& selection) {
  Selection moving;
  for (const std::size_t index : selection) {
    // A folder of the job's own kept tree, walked into in the view, is where its output
    // goes already: taken as the output folder, it would repeat the tree below itself
    // (…/Artist/Artist/Album/). `folder` ends in a separator, so a prefix is one of
    // whole folders.
    const FileData& record = jobs_.Jobs().Record(index);
    const std::string dir = WithTrailingSeparator(record.OutputDir, rules_);
    const std::string outputFolder = OutputFolderOf(record, rules_);
    const bool insideOwnTree = folder.size() > dir.size() &&
                               folder.compare(0, dir.size(), dir) == 0 &&
                               outputFolder.compare(0, folder.size(), folder) == 0;
    if (!insideOwnTree) {
      moving.push_back(index);
    }
  }
  jobs_.SetOutputFolder(folder, moving);
}

std::optional<std::string> TMainWindow::SharedOutputDir(const Selection& selection) const {
  if (selection.empty()) {
    return std::nullopt;
  }
  const std::string first =
      WithTrailingSeparator(jobs_.Jobs().Record(selection.front()).OutputDir, rules_);
  for (const std::size_t index : selection) {
    if (WithTrailingSeparator(jobs_.Jobs().Record(index).OutputDir, rules_) != first) {
      return std::nullopt;
    }
  }
  return first;
}

QString TMainWindow::OutputPathText(const Selection& selection,
                                    const std::string& viewFolder) const {
  if (selection.empty()) {
    return ToQString(viewFolder);
  }
  const std::string first = OutputFolderOf(jobs_.Jobs().Record(selection.front()), rules_);
  if (selection.size() == 1) {
    return ToQString(first) + OutputFileName->text();
  }
  for (const std::size_t index : selection) {
    if (OutputFolderOf(jobs_.Jobs().Record(index), rules_) != first) {
      return kSeveralOutputFolders;
    }
  }
  return ToQString(first);
}

}  // namespace lumio
