#include "ui/help.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>

#include "support/fake_clock.h"
#include "support/find_control.h"
#include "support/scripted_dialogs.h"
#include "ui/help_window.h"
#include "ui/lumio_windows.h"
#include "ui/main_window.h"

namespace lumio {
namespace {

TEST(HelpTest, FirstFolderHoldingTheHelpTextWins) {
  QTemporaryDir root;
  ASSERT_TRUE(root.isValid());
  const std::string besides = root.filePath("bin/").toStdString();
  const std::string docs = root.filePath("doc/").toStdString();
  const std::string missing = root.filePath("missing/").toStdString();
  ASSERT_TRUE(QDir().mkpath(root.filePath("bin")));
  ASSERT_TRUE(QDir().mkpath(root.filePath("doc")));
  QFile help(root.filePath("doc/lumio.txt"));
  ASSERT_TRUE(help.open(QIODevice::WriteOnly));
  help.close();

  EXPECT_EQ(FindHelpFile({besides, docs}), docs + "lumio.txt");
  EXPECT_EQ(FindHelpFile({missing, besides}), std::nullopt);

  QFile beside(root.filePath("bin/lumio.txt"));
  ASSERT_TRUE(beside.open(QIODevice::WriteOnly));
  beside.close();
  EXPECT_EQ(FindHelpFile({besides, docs}), besides + "lumio.txt");
}

const QString kHelpText =
    QStringLiteral("Lumio ヘルプ\n\n1. 準備\n  oggenc が必要です。\n2. 準備の次\n");

// The Help menu's command with a stand-in for the desktop: whether the desktop opens
// the help text decides whether Lumio's own window shows it.
class HelpMenuTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(temp_.isValid());
    programFolder_ = temp_.filePath(QStringLiteral("bin/"));
    ASSERT_TRUE(QDir().mkpath(programFolder_));
    windows_ = CreateLumioWindows(dialogs_, temp_.filePath("lumio.ini").toStdString(), clock_,
                                  programFolder_.toStdString());
    windows_->MainWindow->SetUrlOpener([this](const QUrl& url, std::function<void(bool)> done) {
      opened_.push_back(url);
      done(desktopOpens_);
    });
  }
  void WriteHelpText() {
    QFile help(programFolder_ + QStringLiteral("lumio.txt"));
    ASSERT_TRUE(help.open(QIODevice::WriteOnly));
    help.write(kHelpText.toUtf8());
  }
  void OpenHelpFromMenu() { test::Control<QAction>(*windows_->MainWindow, "HelpOpen").trigger(); }
  HelpWindow* OwnHelpWindow() const { return windows_->MainWindow->findChild<HelpWindow*>(); }

  QTemporaryDir temp_;
  QString programFolder_;
  test::ScriptedDialogs dialogs_;
  test::ScriptedClock clock_;
  std::unique_ptr<LumioWindows> windows_;
  std::vector<QUrl> opened_;
  bool desktopOpens_ = true;
};

TEST_F(HelpMenuTest, DesktopThatOpensTheHelpTextLeavesLumiosOwnWindowClosed) {
  WriteHelpText();
  OpenHelpFromMenu();
  ASSERT_EQ(opened_.size(), 1U);
  EXPECT_EQ(opened_[0], QUrl::fromLocalFile(programFolder_ + QStringLiteral("lumio.txt")));
  EXPECT_TRUE(OwnHelpWindow() == nullptr || !OwnHelpWindow()->isVisible());
  EXPECT_TRUE(dialogs_.Prompts().empty());
}

TEST_F(HelpMenuTest, DesktopThatCannotOpenItLeavesTheTextToLumiosOwnReadOnlyWindow) {
  WriteHelpText();
  desktopOpens_ = false;
  for (int opening = 0; opening < 2; ++opening) {
    OpenHelpFromMenu();
    HelpWindow* window = OwnHelpWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    auto& text = test::Control<QPlainTextEdit>(*window, "HelpText");
    EXPECT_EQ(text.toPlainText(), kHelpText);
    EXPECT_TRUE(text.isReadOnly());
  }
  EXPECT_EQ(windows_->MainWindow->findChildren<HelpWindow*>().size(), 1);
  EXPECT_TRUE(dialogs_.Prompts().empty());
}

TEST_F(HelpMenuTest, MissingHelpTextIsSaidNotIgnored) {
  dialogs_.Queue(test::ScriptedDialogs::MessageAnswer{DialogAnswer::Ok});
  OpenHelpFromMenu();
  EXPECT_TRUE(opened_.empty());
  ASSERT_EQ(dialogs_.Prompts().size(), 1U);
  EXPECT_EQ(dialogs_.Prompts()[0].title, QStringLiteral("エラー"));
  EXPECT_TRUE(dialogs_.Prompts()[0].text.contains(QStringLiteral("lumio.txt")));
}

// Ctrl+F goes to the search field; each Enter selects the next match, and after the
// last one the first again.
TEST_F(HelpMenuTest, SearchFindsEachMatchInTurnAndGoesRound) {
  WriteHelpText();
  desktopOpens_ = false;
  OpenHelpFromMenu();
  HelpWindow* window = OwnHelpWindow();
  ASSERT_NE(window, nullptr);
  auto& search = test::Control<QLineEdit>(*window, "HelpSearch");
  auto& text = test::Control<QPlainTextEdit>(*window, "HelpText");
  search.setText(QStringLiteral("準備"));
  const int first = kHelpText.indexOf(QStringLiteral("準備"));
  const int second = kHelpText.indexOf(QStringLiteral("準備"), first + 1);
  for (const int expected : {first, second, first}) {
    QTest::keyClick(&search, Qt::Key_Return);
    EXPECT_EQ(text.textCursor().selectedText(), QStringLiteral("準備"));
    EXPECT_EQ(text.textCursor().selectionStart(), expected);
  }
}

}  // namespace
}  // namespace lumio
