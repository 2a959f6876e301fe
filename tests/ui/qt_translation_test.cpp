#include "app/qt_translation.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <memory>

namespace lumio {
namespace {

QStringList MenuTexts(QMenu& menu) {
  QStringList texts;
  for (const QAction* action : menu.actions()) {
    if (!action->isSeparator()) texts.push_back(action->text().section(QLatin1Char('\t'), 0, 0));
  }
  return texts;
}

TEST(QtTranslationTest, QtsOwnTextsComeOutInJapanese) {
  const auto translator = InstallQtJapaneseTranslation();
  ASSERT_NE(translator, nullptr) << "qtbase_ja.qm is missing (Debian qt6-translations-l10n)";

  QLineEdit edit;
  const std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
  const QStringList texts = MenuTexts(*menu);
  ASSERT_FALSE(texts.isEmpty());
  EXPECT_EQ(texts.front(), QStringLiteral("元に戻す(&U)"));

  QDialogButtonBox buttons(QDialogButtonBox::Open | QDialogButtonBox::Cancel);
  EXPECT_EQ(buttons.button(QDialogButtonBox::Open)->text(), QStringLiteral("開く"));
  EXPECT_EQ(buttons.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("キャンセル"));

  QFileDialog dialog;
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  const auto lookIn = dialog.findChild<QLabel*>(QStringLiteral("lookInLabel"));
  ASSERT_NE(lookIn, nullptr);
  EXPECT_NE(lookIn->text(), QStringLiteral("Look in:"));
}

}  // namespace
}  // namespace lumio
