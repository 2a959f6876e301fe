// The command すべてのタグ of the 編集 menu and the list's context menu.
#include "core/settings_schema.h"
#include "ui/all_tags_window.h"
#include "ui/main_window.h"

namespace lumio {

void TMainWindow::AllTagsClick() {
  const Selection selection = SelectedIndices();
  if (selection.empty()) return;
  // Window-modal without a nested event loop: the window changes the entries on OK and
  // deletes itself when closed.
  auto* window = new TAllTagsWindow(this, jobs_, selection, ReadCarryOptions(settings_), dialogs_);
  window->setObjectName(QStringLiteral("AllTagsWindow"));
  window->setAttribute(Qt::WA_DeleteOnClose);
  window->open();
}

}  // namespace lumio
