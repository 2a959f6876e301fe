// The main window's commands that open the other windows or run a batch.

#include "ui/about_window.h"
#include "ui/batch_controller.h"
#include "ui/help.h"
#include "ui/help_window.h"
#include "ui/main_window.h"
#include "ui/placement.h"
#include "ui/result_window.h"
#include "ui/setup_window.h"
#include "ui/text_conversion.h"

namespace lumio {

void TMainWindow::StartEncodeClick() {
  if (batch_ != nullptr) {
    batch_->Start(jobs_, *settings_, programFolder_, rules_);
  }
}

void TMainWindow::SetupClick() {
  if (setupWindow_ == nullptr) {
    return;
  }
  PlaceCentredOverMainWindow(*setupWindow_);
  setupWindow_->exec();
}

void TMainWindow::ResultWindowOpenClick() {
  if (resultWindow_ == nullptr) {
    return;
  }
  PlaceCentredOverMainWindow(*resultWindow_);
  resultWindow_->exec();
}

void TMainWindow::AboutMenuClick() {
  if (aboutWindow_ == nullptr) {
    return;
  }
  PlaceCentredOverMainWindow(*aboutWindow_);
  aboutWindow_->ShowVersions(QStringLiteral("Lumio v" LUMIO_VERSION),
                             QStringLiteral("( For OggEnc v0.9 [RC3] )"));
  aboutWindow_->exec();
}

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
