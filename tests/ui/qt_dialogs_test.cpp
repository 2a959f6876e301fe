#include "ui/qt_dialogs.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <functional>

namespace lumio {
namespace {

// Answers the real message box as a user would, once it is shown.
DialogAnswer AnswerRealBox(MessageButtons buttons, const std::function<void(QMessageBox&)>& act,
                           QStringList* captions, QString* defaultCaption) {
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    for (QAbstractButton* button : box->buttons()) {
      captions->push_back(button->text());
    }
    *defaultCaption = box->defaultButton()->text();
    act(*box);
  });
  QtDialogs dialogs;
  return dialogs.Message(nullptr, QStringLiteral("警告"), QStringLiteral("\ntext"),
                         MessageKind::Warning, buttons);
}

TEST(QtDialogsTest, EscapeAndTheCloseBoxCountAsCancelOrTheLoneOk) {
  const auto pressEscape = [](QMessageBox& box) {
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(&box, &escape);
  };
  const auto closeBox = [](QMessageBox& box) { box.close(); };
  const auto clickOk = [](QMessageBox& box) { box.defaultButton()->click(); };
  struct Case {
    MessageButtons buttons;
    std::function<void(QMessageBox&)> act;
    DialogAnswer expected;
    QStringList captions;
    QString defaultCaption = QStringLiteral("OK");
  };
  const QStringList both{QStringLiteral("OK"), QStringLiteral("キャンセル")};
  const QStringList okOnly{QStringLiteral("OK")};
  const QStringList yesNo{QStringLiteral("はい"), QStringLiteral("いいえ")};
  const Case cases[] = {
      {MessageButtons::OkCancel, clickOk, DialogAnswer::Ok, both},
      {MessageButtons::OkCancel, pressEscape, DialogAnswer::Cancel, both},
      {MessageButtons::OkCancel, closeBox, DialogAnswer::Cancel, both},
      {MessageButtons::Ok, pressEscape, DialogAnswer::Ok, okOnly},
      {MessageButtons::Ok, closeBox, DialogAnswer::Ok, okOnly},
      {MessageButtons::YesNo, clickOk, DialogAnswer::Ok, yesNo, QStringLiteral("はい")},
      {MessageButtons::YesNo, pressEscape, DialogAnswer::Cancel, yesNo, QStringLiteral("はい")},
      {MessageButtons::YesNo, closeBox, DialogAnswer::Cancel, yesNo, QStringLiteral("はい")},
  };
  for (const Case& c : cases) {
    QStringList captions;
    QString defaultCaption;
    EXPECT_EQ(AnswerRealBox(c.buttons, c.act, &captions, &defaultCaption), c.expected);
    EXPECT_EQ(defaultCaption, c.defaultCaption);
    captions.sort();
    QStringList expected = c.captions;
    expected.sort();
    EXPECT_EQ(captions, expected);
  }
}

TEST(QtDialogsTest, AQuestionListingHundredsOfFilesFitsTheScreen) {
  QString text = QStringLiteral("指定の場所に同名のファイルがあります\n\n");
  for (int i = 0; i < 500; ++i) text += QStringLiteral("/music/ogg/track%1.ogg\n").arg(i);
  text += QStringLiteral("\n上書きしますか？");
  QTimer::singleShot(0, [] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    const QRect screen = box->screen()->availableGeometry();
    EXPECT_LE(box->frameGeometry().height(), screen.height());
    QAbstractButton* ok = box->defaultButton();
    EXPECT_TRUE(box->rect().contains(QRect(ok->mapTo(box, QPoint(0, 0)), ok->size())));
    ok->click();
  });
  QtDialogs dialogs;
  EXPECT_EQ(dialogs.Message(nullptr, QStringLiteral("警告"), text, MessageKind::Warning,
                            MessageButtons::OkCancel),
            DialogAnswer::Ok);
}

}  // namespace
}  // namespace lumio
