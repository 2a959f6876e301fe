#pragma once

#include <QString>
#include <functional>
#include <optional>

class QWidget;

namespace lumio {

// The modal folder chooser: a folder tree and a field in which a folder that does not
// exist yet may be typed; such a folder is created, with its missing parents, once the
// user agrees. Returns the chosen folder, or nullopt when cancelled.
std::optional<QString> RunFolderChooser(QWidget* parent, const QString& title,
                                        const QString& startFolder);

// What the chooser asks of the user when OK is pressed on a folder that is missing.
struct FolderCreationPrompts {
  // "指定されたディレクトリが存在しません。作成しますか？": true for Yes.
  std::function<bool()> askCreate;
  // The folder could not be made.
  std::function<void()> reportFailure;
};

// The decision behind the chooser's OK: `typed` is the field's text, read relative to
// `treeFolder` (the folder selected in the tree) when it is not absolute, and the
// selected folder itself when empty. An existing folder is taken; a missing one is
// taken after the user agrees and it has been created. nullopt keeps the chooser open.
std::optional<QString> AcceptTypedFolder(const QString& typed, const QString& treeFolder,
                                         const FolderCreationPrompts& prompts);

}  // namespace lumio
