// The main window's help command: the help text, opened by the desktop or shown in
// Lumio's own window.

#include "ui/help.h"
#include "ui/help_window.h"
#include "ui/main_window.h"
#include "ui/text_conversion.h"

namespace lumio {

void TMainWindow::HelpOpenClick() {
  const std::optional<std::string> path = FindHelpFile(HelpFolders(programFolder_));
  if (!path) {
    ShowError("\nヘルプファイル (lumio.txt) が見つかりません");
    return;
  }
  // An absolute path, so the program's current folder (which a batch changes) is
  // irrelevant. A desktop that cannot open it leaves the text to Lumio's own window.
  urlOpener_(QUrl::fromLocalFile(ToQString(*path)), [this, file = *path](bool opened) {
    if (!opened) {
      ShowHelpInOwnWindow(file);
    }
  });
}

void TMainWindow::ShowHelpInOwnWindow(const std::string& path) {
  const std::optional<QString> text = ReadHelpText(path);
  if (!text) {
    ShowError("\nヘルプファイルを開けませんでした\n" + path);
    return;
  }
  if (helpWindow_ == nullptr) {
    helpWindow_ = new HelpWindow(this);
  }
  helpWindow_->ShowText(*text);
}

void TMainWindow::SetUrlOpener(UrlOpener opener) { urlOpener_ = std::move(opener); }

}  // namespace lumio
