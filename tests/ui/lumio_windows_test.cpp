#include "ui/lumio_windows.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QLabel>
#include <QTemporaryDir>
#include <QTimer>

#include "support/fake_clock.h"
#include "support/scripted_dialogs.h"
#include "ui/about_window.h"
#include "ui/console_window.h"
#include "ui/look.h"
#include "ui/main_window.h"
#include "ui/progress_window.h"
#include "ui/result_window.h"
#include "ui/setup_window.h"

namespace lumio {
namespace {

using FixedClock = test::ScriptedClock;

class LumioWindowsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(temp_.isValid());
    const std::string folder = temp_.path().toStdString() + "/";
    windows_ = CreateLumioWindows(dialogs_, folder + "lumio.ini", clock_, folder);
  }

  QTemporaryDir temp_;
  test::ScriptedDialogs dialogs_;
  FixedClock clock_;
  std::unique_ptr<LumioWindows> windows_;
};

TEST_F(LumioWindowsTest, EveryWindowExistsAndNoneIsShownYet) {
  EXPECT_EQ(windows_->MainWindow->windowTitle(), QStringLiteral("Lumio v" LUMIO_VERSION));
  const QWidget* windows[] = {windows_->MainWindow.get(), windows_->AboutWindow,
                              windows_->ResultWindow,     windows_->ProgressWindow,
                              windows_->SetupWindow,      windows_->ConsoleWindow};
  for (const QWidget* window : windows) {
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(window->isVisible()) << window->windowTitle().toStdString();
  }
  EXPECT_EQ(windows_->MainWindow->centralWidget()->size(), QSize(539, 505));
}

TEST_F(LumioWindowsTest, JapaneseTextHasAFontThatDrawsIt) {
  const QFontInfo info(LumioFont());
  EXPECT_EQ(info.pixelSize(), 12);
  EXPECT_TRUE(QFontDatabase::families(QFontDatabase::Japanese).contains(info.family()))
      << info.family().toStdString();
}

TEST_F(LumioWindowsTest, AboutMenuShowsTheVersionsModally) {
  bool wasModal = false;
  QTimer::singleShot(0, [this, &wasModal] {
    wasModal = QApplication::activeModalWidget() == windows_->AboutWindow;
    windows_->AboutWindow->close();
  });
  windows_->MainWindow->AboutMenuClick();
  EXPECT_TRUE(wasModal);
  EXPECT_EQ(windows_->AboutWindow->VersionName->text(), QStringLiteral("Lumio v" LUMIO_VERSION));
  EXPECT_EQ(windows_->AboutWindow->ForVer->text(), QStringLiteral("( For OggEnc v0.9 [RC3] )"));
}

}  // namespace
}  // namespace lumio
