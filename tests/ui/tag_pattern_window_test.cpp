#include "ui/tag_pattern_window.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "support/find_control.h"

namespace lumio {
namespace {

TEST(TagPatternWindow, PreviewFollowsThePatternAndOnlyOkAccepts) {
  struct Case {
    const char* button;
    QDialog::DialogCode result;
  };
  for (const Case& c :
       {Case{"OkButton", QDialog::Accepted}, Case{"CancelButton", QDialog::Rejected}}) {
    TTagPatternWindow window(nullptr, QStringLiteral("タグからファイル名"),
                             QStringLiteral("prompt"), QStringLiteral("%n %t"),
                             [](const QString& pattern) { return pattern.toUpper(); });
    EXPECT_EQ(window.windowTitle(), QStringLiteral("タグからファイル名"));
    EXPECT_EQ(test::Control<QLabel>(window, "Preview").text(), QStringLiteral("%N %T"));
    test::Control<QLineEdit>(window, "Pattern").setText(QStringLiteral("%a"));
    EXPECT_EQ(test::Control<QLabel>(window, "Preview").text(), QStringLiteral("%A"));
    window.open();  // window-modal and non-blocking, so the test goes on
    test::Control<QPushButton>(window, c.button).click();
    EXPECT_EQ(window.result(), c.result);
    EXPECT_FALSE(window.isVisible());
  }
}

}  // namespace
}  // namespace lumio
