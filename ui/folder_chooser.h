#pragma once

#include <QString>
#include <optional>

class QWidget;

namespace lumio {

class DialogSeam;

// The modal folder chooser: a folder tree and a field in which a folder that does not
// exist yet may be typed; such a folder is created, with its missing parents, once the
// user agrees. Its questions go through `dialogs`. Returns the chosen folder, or nullopt
// when cancelled.
std::optional<QString> RunFolderChooser(DialogSeam& dialogs, QWidget* parent, const QString& title,
                                        const QString& startFolder);

// The decision behind the chooser's OK: `typed` is the field's text, read relative to
// `treeFolder` (the folder selected in the tree) when it is not absolute, and the
// selected folder itself when empty. An existing folder is taken; a missing one is
// taken after the user agrees ("指定されたディレクトリが存在しません。作成しますか？") and
// it has been created, else the failure is told. nullopt keeps the chooser open.
std::optional<QString> AcceptTypedFolder(const QString& typed, const QString& treeFolder,
                                         DialogSeam& dialogs);

}  // namespace lumio
