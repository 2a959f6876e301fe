#include "ui/message_dialog.h"

#include <QApplication>

#include "ui/dialog_seam.h"
#include "ui/placement.h"
#include "ui/text_conversion.h"

namespace lumio {

DialogAnswer ShowMessageDialog(DialogSeam& dialogs, const std::string& text, MessageKind kind,
                               MessageButtons buttons) {
  const QString title = kind == MessageKind::Warning ? QStringLiteral("警告")
                        : kind == MessageKind::Error ? QStringLiteral("エラー")
                                                     : QStringLiteral("確認");
  // The desktop offers one bell, the same for warnings and errors; a question rings none.
  if (kind != MessageKind::Question) {
    QApplication::beep();
  }
  return dialogs.Message(MainWindowForPlacement(), title, ToQString(text), kind, buttons);
}

}  // namespace lumio
