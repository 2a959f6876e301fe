#include "ui/tag_pattern_window.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace lumio {
namespace {

TEST(TagPatternWindow, PreviewFollowsThePatternAndOnlyOkAccepts) {
  struct Case {
    QPushButton* TTagPatternWindow::*button;
    QDialog::DialogCode result;
  };
  for (const Case& c : {Case{&TTagPatternWindow::OkButton, QDialog::Accepted},
                        Case{&TTagPatternWindow::CancelButton, QDialog::Rejected}}) {
    TTagPatternWindow window(nullptr, QStringLiteral("タグからファイル名"),
                             QStringLiteral("prompt"), QStringLiteral("%n %t"),
                             [](const QString& pattern) { return pattern.toUpper(); });
    EXPECT_EQ(window.windowTitle(), QStringLiteral("タグからファイル名"));
    EXPECT_EQ(window.Preview->text(), QStringLiteral("%N %T"));
    window.Pattern->setText(QStringLiteral("%a"));
    EXPECT_EQ(window.Preview->text(), QStringLiteral("%A"));
    window.open();  // window-modal and non-blocking, so the test goes on
    (window.*c.button)->click();
    EXPECT_EQ(window.result(), c.result);
    EXPECT_FALSE(window.isVisible());
  }
}

}  // namespace
}  // namespace lumio
