// The main window's commands that open the other windows or run a batch.
#include <QLabel>
#include <QLineEdit>

#include "encode/batch_driver.h"
#include "ui/about_window.h"
#include "ui/help.h"
#include "ui/main_window.h"
#include "ui/placement.h"
#include "ui/result_window.h"
#include "ui/setup_window.h"
#include "ui/window_batch_host.h"

namespace lumio {

void TMainWindow::StartEncodeClick() {
  if (progressWindow_ == nullptr || batchRunning_) {
    return;
  }
  WindowBatchHost host(*this, *OutputFileName, *progressWindow_, *resultWindow_, *consoleWindow_,
                       dialogs_);
  BatchContext context{jobs_, *settings_, host, clock_, programFolder_, rules_};
  // The flag refuses a close request that arrives while the batch polls the event loop.
  batchRunning_ = true;
  lumio::StartEncodeClick(context);
  batchRunning_ = false;
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
  aboutWindow_->VersionName->setText(QStringLiteral("Lumio v0.06"));
  aboutWindow_->ForVer->setText(QStringLiteral("( For OggEnc v0.9 [RC3] )"));
  aboutWindow_->exec();
}

void TMainWindow::HelpOpenClick() { OpenHelpFile(); }

}  // namespace lumio
