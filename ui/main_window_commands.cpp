// The main window's commands that open the other windows or run a batch.

#include "ui/about_window.h"
#include "ui/batch_controller.h"
#include "ui/help.h"
#include "ui/main_window.h"
#include "ui/placement.h"
#include "ui/result_window.h"
#include "ui/setup_window.h"

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

void TMainWindow::HelpOpenClick() { OpenHelpFile(); }

}  // namespace lumio
