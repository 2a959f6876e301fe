#include "ui/lumio_windows.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QLabel>
#include <QTemporaryDir>
#include <QTimer>

#include "encode/run/clock.h"
#include "support/fake_clock.h"
#include "support/find_control.h"
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
  const QWidget* windows[] = {windows_->MainWindow.get(),   windows_->AboutWindow.get(),
                              windows_->ResultWindow.get(), windows_->ProgressWindow.get(),
                              windows_->SetupWindow.get(),  windows_->ConsoleWindow.get()};
  for (const QWidget* window : windows) {
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(window->isVisible()) << window->windowTitle().toStdString();
  }
  EXPECT_EQ(windows_->MainWindow->centralWidget()->size(), QSize(539, 505));
}

// Each window's controls, menus, actions and timer are found by their names; a name
// that the main window shares with a window it owns (Label1) finds its own control.
TEST_F(LumioWindowsTest, EveryControlIsFoundByItsName) {
  const struct {
    const QObject* window;
    const char* names;
  } cases[] = {
      {windows_->MainWindow.get(),
       "Bevel2 InputFileList InputFileOpen SelectedClear DeleteButton ClearButton AudioInfoText "
       "FileInfoPanel Label1 Title Label4 Artist Label2 Album Label10 Date Label11 TrackNumber "
       "Label3 Comment Label8 OutputFileName Label5 NewDirectory DriveComboBox1 DirectoryListBox1 "
       "Label7 OutputFilePath EndButton SetupButton Button1 StartEncode File1 OpenMenu "
       "FolderAddMenu N1 EncodeMenu N2 ExitMenu Setup1 Setup Edit1 NumberTracks NameFromTags "
       "TagsFromName N4 MoveUp MoveDown DeleteMenu Help1 HelpOpen ResultWindowOpen N3 AboutMenu "
       "ListMenu"},
      {windows_->SetupWindow.get(),
       "PageControl1 TabSheet1 TabSheet2 SetupWindowClose SetupWindowCancel ChangeOption Label4 "
       "EncodePriority ViewCheck ParallelEncodersLabel ParallelEncoders CoreCountText "
       "SetEncoderPlace EncoderPlace ChoiseEncoderPlace GroupBox2 SameOutput UseStdOutput "
       "StdOutputDir ChoiseStdOutDir KeepFolderTree ExistingOutputLabel ExistingOutput "
       "CheckUseBitrate Label3 MaximumBitrate Label2 NominalBitrate Label1 MinimumBitrate "
       "CheckUseQuality Quality QualityView Label5 Label6 CheckNoUse Label7 EncodeOptionGroup"},
      {windows_->AboutWindow.get(),
       "VersionName Bevel1 ForVer Copyright ExpositionMessage AboutWindowClose"},
      {windows_->ProgressWindow.get(),
       "EncodeFileText Label4 MinCount2 Label1 SecCount2 Label2 Label5 MinCount Label6 SecCount "
       "Label3 CancelEncoding Timer1"},
      {windows_->ResultWindow.get(), "ResultText ResultOk"},
      {windows_->ConsoleWindow.get(), "Output"},
  };
  for (const auto& c : cases) {
    for (const QString& name : QString::fromLatin1(c.names).split(QLatin1Char(' '))) {
      EXPECT_NO_THROW(test::Control<QObject>(*c.window, name.toLatin1().constData()))
          << c.window->metaObject()->className() << " " << name.toStdString();
    }
  }
  EXPECT_EQ(test::Control<QLabel>(*windows_->MainWindow, "Label1").text(),
            QStringLiteral("タイトル"));
  EXPECT_THROW(test::Control<QLabel>(*windows_->MainWindow, "Title"), std::runtime_error);
  EXPECT_THROW(test::Control<QObject>(*windows_->MainWindow, "Missing"), std::runtime_error);
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
    wasModal = QApplication::activeModalWidget() == windows_->AboutWindow.get();
    windows_->AboutWindow->close();
  });
  test::Control<QAction>(*windows_->MainWindow, "AboutMenu").trigger();
  EXPECT_TRUE(wasModal);
  EXPECT_EQ(test::Control<QLabel>(*windows_->AboutWindow, "VersionName").text(),
            QStringLiteral("Lumio v" LUMIO_VERSION));
  EXPECT_EQ(test::Control<QLabel>(*windows_->AboutWindow, "ForVer").text(),
            QStringLiteral("( For OggEnc v0.9 [RC3] )"));
}

}  // namespace
}  // namespace lumio
